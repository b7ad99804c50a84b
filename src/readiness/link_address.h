// What a click on the link opens. The address comes from Install.dat on the update media, so
// only what a person expects from a support link is handed to the shell: a web page or an
// e-mail address, never a file, a program or another protocol.
#pragma once

#include <string>

struct tagLinkAddress {
    std::string strAddress; // "" when the text is not opened
    bool bOpenVerb = false; // an address made here is opened with the verb "open"
};

// "http://" and "https://" (and "mailto:") addresses as given; a text with "@", no "/" and no
// scheme as "mailto:" + text; a bare host name (with a path, if any) as "http://" + text. A text
// with a quote, a blank or a control character is never opened.
[[nodiscard]] tagLinkAddress GetLinkAddress(const std::string& text);
