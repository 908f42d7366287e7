// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/HtmlFragment.h"

#include <gumbo.h>

namespace {

GumboOptions fragmentOptions()
{
    GumboOptions options = kGumboDefaultOptions;
    options.fragment_context = GUMBO_TAG_DIV;
    options.fragment_namespace = GUMBO_NAMESPACE_HTML;
    // The errors are of no use here; recording them only costs memory.
    options.max_errors = 0;
    return options;
}

}  // namespace

HtmlFragment::HtmlFragment(QStringView html) : utf8_(html.toUtf8())
{
    const GumboOptions options = fragmentOptions();
    output_ = gumbo_parse_with_options(&options, utf8_.constData(),
                                       static_cast<std::size_t>(utf8_.size()));
}

HtmlFragment::~HtmlFragment()
{
    if (output_ != nullptr) {
        const GumboOptions options = fragmentOptions();
        gumbo_destroy_output(&options, output_);
    }
}

const GumboInternalNode* HtmlFragment::root() const
{
    return output_ != nullptr ? output_->root : nullptr;
}
