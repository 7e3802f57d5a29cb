// The text of the application's two documents: the manual and the hardware
// set-up guide ("Quick Setup").
#pragma once

#include <string>
#include <vector>

namespace docgen {

struct PageText {
    std::string file;  // e.g. "recording.htm"; the first page of a book is "index.htm"
    std::string title;
    std::vector<std::string> paragraphs;  // HTML fragments
};

struct Book {
    std::string folder;  // stored folder name, e.g. "Quick Setup"
    std::string title;
    std::vector<PageText> pages;
    int pictures;  // pictures in the book's pics folder, spread over its pages
};

/// The manual (11 pages, 22 pictures).
Book Manual();

/// The hardware set-up guide (30 pages, 31 pictures).
Book QuickSetup();

}  // namespace docgen
