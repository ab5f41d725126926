#pragma once

#include <string>

// Turns a section of a Markdown text (the README) into a roff manual page,
// so the page and the README are one text.
//
// The section starts at the heading whose text is `heading` and runs to the
// next heading of the same or a higher level. Inside it, a heading one level
// down opens a manual section (.SH), deeper ones a subsection (.SS), and so
// does a paragraph that starts with a bold upper-case label ("**EXIT STATUS**
// — 0 done ..."). A heading of the form "name — summary" gives the NAME line
// itself. Understood: paragraphs, fenced code blocks, tables (first column as
// the tag), "- " lists, `code`, **bold**, *italic* and [links](url).
struct TManPageInfo
{
    std::string name;          // the command, e.g. "zelkor-cli"
    std::string section = "1"; // manual section
    std::string date;          // shown in the footer
    std::string source;        // e.g. "zelkor 0.1"
    std::string manual;        // e.g. "User Commands"
};

struct TManPageResult
{
    bool ok = false;
    std::string roff;
    std::string error; // why nothing was made
};

TManPageResult MarkdownToMan(const std::string& markdown, const std::string& heading, const TManPageInfo& info);

// One line of Markdown text as roff text: inline marks become font changes,
// backslashes, dashes and the typographic characters are escaped.
std::string RoffInline(const std::string& text);
