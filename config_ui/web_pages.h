#pragma once
// The maker's web pages and how the program opens them.
//
// Every address the program opens is kept here. A page opens in the user's
// default browser; when none can be started the user is told so. Tests put
// their own opener in place, so that no browser is ever started by them.

#include "pack/pack_format.h"

#include <QString>
#include <QUrl>

#include <functional>

namespace wm {

// The maker's name, as it appears in the rights line.
inline const QString kMakerName = kPackMakerLine;

// The product's home page (the about window's web site button).
QUrl product_page();
// The maker's catalogue of its other holiday titles.
QUrl maker_catalogue_page();

// Opens a page in a browser; true when the page was handed to one.
using WebPageOpener = std::function<bool(const QUrl& page)>;

// Opens the page in the default browser. When that fails, the user is told
// "Shell Execute Error. (No default browser?)" and false is returned.
bool open_web_page(const QUrl& page);

// Replaces the way pages are opened; returns the opener that was in place
// (empty for the built-in one). Pass an empty opener to restore the default.
WebPageOpener set_web_page_opener(WebPageOpener opener);

}  // namespace wm
