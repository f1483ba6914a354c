#pragma once

#include <QString>
#include <string>

namespace orvo {

// The core speaks Chinese UTF-8, with part names and paths in it as read (possibly GBK),
// and knows nothing of languages. What it hands to the screen is translated here: the
// whole text is matched against the catalogue of the core's texts (core_messages.cpp),
// whose patterns hold %1, %2, ... for the values. Values (file names, numbers, part
// names) are kept; a value that is itself one of the core's texts ("板材长度") is
// translated too. With no translator installed the text comes back as given, in UTF-8.
QString shownCoreText(const std::string& text);

// "Warning!" and "提示!" as the screen shows them.
QString shownCaption(const std::string& caption);

}  // namespace orvo
