// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/cArticles.h"

#include <stdexcept>
#include <string>

void cArticles::Add(const QString& title, const QString& author, const QString& submitted,
                    const QString& url)
{
    auto article = std::make_shared<cArticle>();
    article->setTitle(trimSpaces(title));
    article->setAuthor(trimSpaces(author));
    article->setSubmitted(trimSpaces(submitted));
    article->setUrl(trimSpaces(url));
    items_.push_back(std::move(article));
}

void cArticles::Clear()
{
    while (!items_.empty()) {
        items_.pop_back();
    }
}

std::shared_ptr<cArticle> cArticles::Item(int index) const
{
    if (index < 1 || index > Count()) {
        throw std::out_of_range("no headline at position " + std::to_string(index));
    }
    return items_[static_cast<std::size_t>(index - 1)];
}
