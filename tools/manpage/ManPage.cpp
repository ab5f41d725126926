#include "ManPage.h"

#include <cctype>
#include <sstream>
#include <vector>

namespace {

const std::string kEmDash = "\xE2\x80\x94";

std::string Trim(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

bool StartsWith(const std::string& s, const std::string& prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The level of a "## Heading" line, 0 for any other line.
int HeadingLevel(const std::string& line, std::string* text)
{
    size_t n = 0;
    while (n < line.size() && line[n] == '#')
        ++n;
    if (n == 0 || n > 6 || n >= line.size() || line[n] != ' ')
        return 0;
    if (text)
        *text = Trim(line.substr(n));
    return static_cast<int>(n);
}

bool IsFence(const std::string& line)
{
    return StartsWith(Trim(line), "```");
}

// The characters roff takes as commands or that have names of their own.
std::string EscapeLiteral(const std::string& text)
{
    static const struct
    {
        const char* utf8;
        const char* roff;
    } kNamed[] = {
        {"\xE2\x80\x94", "\\(em"}, {"\xE2\x80\x93", "\\(en"}, {"\xC2\xB0", "\\(de"},
        {"\xE2\x80\xA6", "\\&..."}, {"\xC3\x97", "\\(mu"},    {"\xE2\x86\x92", "\\(->"},
        {"\xE2\x80\x99", "'"},      {"\xE2\x89\xA4", "\\(<="}, {"\xE2\x89\xA5", "\\(>="},
    };
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') {
            out += "\\e";
            continue;
        }
        if (c == '-') {
            out += "\\-";
            continue;
        }
        bool named = false;
        for (const auto& n : kNamed) {
            if (text.compare(i, std::char_traits<char>::length(n.utf8), n.utf8) == 0) {
                out += n.roff;
                i += std::char_traits<char>::length(n.utf8) - 1;
                named = true;
                break;
            }
        }
        if (!named)
            out += c;
    }
    return out;
}

// A line roff would read as a request when it starts with a dot or a quote.
std::string SafeLine(const std::string& line)
{
    if (!line.empty() && (line[0] == '.' || line[0] == '\''))
        return "\\&" + line;
    return line;
}

std::string StripMarks(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '`' || c == '*')
            continue;
        if (c == '\\' && i + 1 < text.size() && text[i + 1] == '|')
            continue;
        out += c;
    }
    return out;
}

std::vector<std::string> TableCells(const std::string& line)
{
    std::string row = Trim(line);
    if (StartsWith(row, "|"))
        row.erase(0, 1);
    if (!row.empty() && row.back() == '|' && (row.size() < 2 || row[row.size() - 2] != '\\'))
        row.pop_back();
    std::vector<std::string> cells;
    std::string cell;
    for (size_t i = 0; i < row.size(); ++i) {
        if (row[i] == '\\' && i + 1 < row.size() && row[i + 1] == '|') {
            cell += "\\|"; // kept escaped: RoffInline turns it into a bar
            ++i;
        } else if (row[i] == '|') {
            cells.push_back(Trim(cell));
            cell.clear();
        } else {
            cell += row[i];
        }
    }
    cells.push_back(Trim(cell));
    return cells;
}

bool IsTableRule(const std::string& line)
{
    bool dash = false;
    for (char c : line) {
        if (c == '-')
            dash = true;
        else if (c != '|' && c != ':' && c != ' ')
            return false;
    }
    return dash;
}

bool IsListItem(const std::string& line)
{
    return StartsWith(line, "- ") || StartsWith(line, "* ");
}

// "**EXIT STATUS** — 0 done": the label when it is upper-case, and the rest.
bool BoldLabel(const std::string& paragraph, std::string* label, std::string* rest)
{
    if (!StartsWith(paragraph, "**"))
        return false;
    const size_t end = paragraph.find("**", 2);
    if (end == std::string::npos || end == 2)
        return false;
    const std::string l = paragraph.substr(2, end - 2);
    for (char c : l)
        if (!(std::isupper(static_cast<unsigned char>(c)) || c == ' '))
            return false;
    std::string r = Trim(paragraph.substr(end + 2));
    if (StartsWith(r, kEmDash))
        r = Trim(r.substr(kEmDash.size()));
    else if (StartsWith(r, "- "))
        r = Trim(r.substr(2));
    *label = l;
    *rest = r;
    return true;
}

std::string Upper(const std::string& s)
{
    std::string out = s;
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string Quoted(const std::string& s)
{
    std::string out = "\"";
    for (char c : s)
        out += c == '"' ? std::string("\\(dq") : std::string(1, c);
    return out + "\"";
}

class TWriter
{
public:
    explicit TWriter(const TManPageInfo& info)
        : m_info(info)
    {
    }

    void Heading(const std::string& title) { Section(".SH", Upper(title)); }
    void SubHeading(const std::string& title) { Section(".SS", title); }

    // "name — summary" or "`name`, summary": the whatis line of the page.
    bool NameLine(const std::string& text)
    {
        std::string plain = Trim(StripMarks(text));
        if (!StartsWith(plain, m_info.name))
            return false;
        std::string rest = Trim(plain.substr(m_info.name.size()));
        if (StartsWith(rest, kEmDash))
            rest = rest.substr(kEmDash.size());
        else if (StartsWith(rest, ",") || StartsWith(rest, "-"))
            rest = rest.substr(1);
        rest = Trim(rest);
        while (!rest.empty() && rest.back() == '.')
            rest.pop_back();
        if (rest.empty())
            return false;
        m_out << ".SH NAME\n" << EscapeLiteral(m_info.name) << " \\- " << RoffInline(rest) << "\n";
        m_hasName = true;
        m_open = false; // what follows without a heading is the description
        return true;
    }

    void Paragraph(const std::string& text)
    {
        Open();
        m_out << ".PP\n" << SafeLine(RoffInline(text)) << "\n";
    }

    void ListItem(const std::string& text)
    {
        Open();
        m_out << ".IP \\(bu 2\n" << SafeLine(RoffInline(text)) << "\n";
    }

    void Code(const std::vector<std::string>& lines)
    {
        Open();
        m_out << ".PP\n.RS 4\n.nf\n";
        for (const std::string& l : lines)
            m_out << (l.empty() ? std::string("\\&") : SafeLine(EscapeLiteral(l))) << "\n";
        m_out << ".fi\n.RE\n";
    }

    void TableRow(const std::vector<std::string>& cells)
    {
        Open();
        std::string text;
        for (size_t i = 1; i < cells.size(); ++i) {
            if (cells[i].empty())
                continue;
            if (!text.empty())
                text += " \xE2\x80\x94 ";
            text += cells[i];
        }
        m_out << ".TP\n" << SafeLine("\\fB" + RoffInline(StripMarks(cells.empty() ? "" : cells[0])) + "\\fR") << "\n"
              << SafeLine(RoffInline(text)) << "\n";
    }

    bool HasName() const { return m_hasName; }

    std::string Page() const
    {
        std::ostringstream page;
        page << ".\\\" Made from the README at build time; edit the README instead.\n";
        page << ".TH " << Quoted(Upper(m_info.name)) << " " << Quoted(m_info.section) << " " << Quoted(m_info.date)
             << " " << Quoted(m_info.source) << " " << Quoted(m_info.manual) << "\n";
        page << m_out.str();
        return page.str();
    }

private:
    void Section(const char* request, const std::string& title)
    {
        m_out << request << " " << Quoted(RoffInline(StripMarks(title))) << "\n";
        m_open = true;
    }

    // Text before the first heading is the description.
    void Open()
    {
        if (!m_open)
            Heading("DESCRIPTION");
    }

    const TManPageInfo& m_info;
    std::ostringstream m_out;
    bool m_open = false;
    bool m_hasName = false;
};

} // namespace

std::string RoffInline(const std::string& text)
{
    std::string out;
    bool bold = false, italic = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '`') {
            const size_t end = text.find('`', i + 1);
            if (end != std::string::npos) {
                out += "\\fB" + EscapeLiteral(text.substr(i + 1, end - i - 1)) + "\\fR";
                i = end;
                continue;
            }
        } else if (c == '*' && i + 1 < text.size() && text[i + 1] == '*') {
            bold = !bold;
            out += bold ? "\\fB" : "\\fR";
            ++i;
            continue;
        } else if (c == '*' && (italic || (i + 1 < text.size() && text[i + 1] != ' '
                                           && text.find('*', i + 1) != std::string::npos))) {
            italic = !italic;
            out += italic ? "\\fI" : "\\fR";
            continue;
        } else if (c == '[') {
            const size_t close = text.find("](", i);
            const size_t end = close == std::string::npos ? close : text.find(')', close);
            if (end != std::string::npos) {
                out += RoffInline(text.substr(i + 1, close - i - 1));
                i = end;
                continue;
            }
        } else if (c == '\\' && i + 1 < text.size() && text[i + 1] == '|') {
            out += '|';
            ++i;
            continue;
        }
        // A multi-byte character goes whole, so the named ones are found.
        size_t n = 1;
        if (static_cast<unsigned char>(c) >= 0xC0)
            while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80)
                ++n;
        out += EscapeLiteral(text.substr(i, n));
        i += n - 1;
    }
    if (bold || italic)
        out += "\\fR";
    return out;
}

TManPageResult MarkdownToMan(const std::string& markdown, const std::string& heading, const TManPageInfo& info)
{
    TManPageResult result;
    const std::vector<std::string> lines = SplitLines(markdown);

    // Find the section, skipping what code blocks hold ("# a comment").
    size_t begin = lines.size(), end = lines.size();
    int level = 0;
    std::string title;
    bool fence = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (IsFence(lines[i])) {
            fence = !fence;
            continue;
        }
        std::string text;
        const int l = fence ? 0 : HeadingLevel(lines[i], &text);
        if (l == 0)
            continue;
        if (begin == lines.size()) {
            if (text == heading || StartsWith(text, heading + " " + kEmDash + " ")) {
                begin = i + 1;
                level = l;
                title = text;
            }
        } else if (l <= level) {
            end = i;
            break;
        }
    }
    if (begin == lines.size()) {
        result.error = "no heading \"" + heading + "\"";
        return result;
    }

    TWriter w(info);
    if (title != heading)
        w.NameLine(title);

    bool labelled = false;
    std::string paragraph;
    auto flush = [&] {
        if (paragraph.empty())
            return;
        std::string label, rest;
        if (BoldLabel(paragraph, &label, &rest)) {
            if (label == "NAME" && !w.HasName()) {
                if (!w.NameLine(rest)) {
                    result.error = "the NAME paragraph does not start with " + info.name;
                }
            } else {
                labelled = true;
                w.Heading(label);
                if (!rest.empty())
                    w.Paragraph(rest);
            }
        } else if (IsListItem(paragraph)) {
            w.ListItem(Trim(paragraph.substr(2)));
        } else {
            w.Paragraph(paragraph);
        }
        paragraph.clear();
    };

    for (size_t i = begin; i < end; ++i) {
        const std::string& line = lines[i];
        if (IsFence(line)) {
            flush();
            std::vector<std::string> code;
            for (++i; i < end && !IsFence(lines[i]); ++i)
                code.push_back(lines[i]);
            w.Code(code);
            continue;
        }
        std::string text;
        if (const int l = HeadingLevel(line, &text)) {
            flush();
            // Where upper-case labels make the sections, headings are parts of them.
            if (l == level + 1 && !labelled)
                w.Heading(text);
            else
                w.SubHeading(text);
            continue;
        }
        if (StartsWith(Trim(line), "|")) {
            flush();
            bool header = true;
            for (; i < end && StartsWith(Trim(lines[i]), "|"); ++i) {
                if (IsTableRule(lines[i]))
                    header = false;
                else if (!header)
                    w.TableRow(TableCells(lines[i]));
            }
            --i;
            continue;
        }
        if (Trim(line).empty()) {
            flush();
            continue;
        }
        if (IsListItem(line))
            flush();
        paragraph += paragraph.empty() ? Trim(line) : " " + Trim(line);
    }
    flush();

    if (!result.error.empty())
        return result;
    if (!w.HasName()) {
        result.error = "no NAME line for " + info.name;
        return result;
    }
    result.ok = true;
    result.roff = w.Page();
    return result;
}
