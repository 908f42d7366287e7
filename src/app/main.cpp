#include <QApplication>
#include <QLabel>

// Placeholder until the main window exists.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Tolvar MP3 Radio"));
    label.setWindowTitle(QStringLiteral("Tolvar MP3 Radio"));
    label.show();
    return QApplication::exec();
}
