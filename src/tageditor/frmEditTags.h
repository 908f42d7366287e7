// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tags/TagEditState.h"
#include "tags/TagWriter.h"
#include "ui/RoundedDialog.h"

#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TypingLimitValidator;

// The tag editor: shows the ID3v1 tag of one file and writes it back.
//
//   frmEditTags::Open(path, this);   // returns when the editor has closed
//
// Every opening builds a new window, which reads the file afresh. GUI thread.
class frmEditTags : public RoundedDialog {
    Q_OBJECT
public:
    // Shows the "Write Error" box; tests hand in their own.
    using ErrorBox =
        std::function<void(QWidget* parent, const QString& title, const QString& text)>;

    static constexpr int kBoxCount = 5;
    static constexpr int kYearBox = 3;

    // With the busy pointer on: loads the window for the file and shows
    // it modally. The pointer is normal again once the window shows, or at
    // once when the file cannot be read (then no window shows).
    static void Open(const QString& tagFile, QWidget* parent = nullptr);

    explicit frmEditTags(QWidget* parent = nullptr);

    // Fills the window for the file and shows it modally; returns when it has
    // closed. A file that cannot be read closes the window unseen.
    void StartEdit(const QString& path);

    // The filling part of StartEdit: false (and the window closed) when the
    // file cannot be read; the window is not shown either way.
    bool load(const QString& path);

    void setErrorBox(ErrorBox box) { errorBox_ = std::move(box); }
    void setWriter(TagWriter writer) { writer_ = std::move(writer); }

    const TagEditState& tagState() const { return state_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void FillGenres();
    void CmdOk_Click(int index);
    void writeTag();
    int boxIndex(const QObject* watched) const;
    static bool yearKeyPasses(const QKeyEvent& key);
    void trimBox(int index);
    static void showErrorBox(QWidget* parent, const QString& title, const QString& text);

    std::array<QLineEdit*, kBoxCount> boxes_{};
    std::array<TypingLimitValidator*, kBoxCount> limits_{};
    QComboBox* genres_ = nullptr;
    TagEditState state_;
    TagWriter writer_;
    ErrorBox errorBox_ = &frmEditTags::showErrorBox;
};
