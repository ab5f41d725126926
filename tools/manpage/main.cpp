// zelkor-manpage: writes a manual page made from a section of a Markdown file.
//   zelkor-manpage INPUT.md HEADING NAME SECTION SOURCE DATE OUTPUT
#include "ManPage.h"

#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv)
{
    if (argc != 8) {
        std::cerr << "usage: zelkor-manpage INPUT.md HEADING NAME SECTION SOURCE DATE OUTPUT\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "zelkor-manpage: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();

    TManPageInfo info;
    info.name = argv[3];
    info.section = argv[4];
    info.source = argv[5];
    info.date = argv[6];
    info.manual = "User Commands";
    const TManPageResult page = MarkdownToMan(text.str(), argv[2], info);
    if (!page.ok) {
        std::cerr << "zelkor-manpage: " << argv[1] << ": " << page.error << "\n";
        return 1;
    }
    std::ofstream out(argv[7], std::ios::binary | std::ios::trunc);
    out << page.roff;
    out.close();
    if (!out) {
        std::cerr << "zelkor-manpage: cannot write " << argv[7] << "\n";
        return 1;
    }
    return 0;
}
