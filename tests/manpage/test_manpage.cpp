#include "ManPage.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

TManPageInfo Info(const std::string& name = "tool")
{
    TManPageInfo info;
    info.name = name;
    info.date = "2026-12-09";
    info.source = "zelkor 0.1";
    info.manual = "User Commands";
    return info;
}

std::string Page(const std::string& md, const std::string& heading, const std::string& name = "tool")
{
    const TManPageResult r = MarkdownToMan(md, heading, Info(name));
    EXPECT_TRUE(r.ok) << r.error;
    return r.roff;
}

std::string ReadSource(const std::string& relative)
{
    std::ifstream in(std::string(ZELKOR_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(ManPageSection, RunsToTheNextHeadingOfItsLevelAndSkipsCodeComments)
{
    const std::string md = "# Project\n\nintro\n\n## tool(1)\n\n**NAME** \xE2\x80\x94 `tool`, does things.\n\n"
                           "```sh\n# not a heading\nrun it\n```\n\n### Deeper\n\nstill ours\n\n"
                           "## Other\n\nOTHERTEXT\n";
    const std::string roff = Page(md, "tool(1)");
    EXPECT_TRUE(Has(roff, ".SH NAME\ntool \\- does things\n")) << roff;
    EXPECT_TRUE(Has(roff, "\n# not a heading\nrun it\n")) << roff;
    EXPECT_TRUE(Has(roff, "still ours"));
    EXPECT_FALSE(Has(roff, "OTHERTEXT"));
    EXPECT_FALSE(Has(roff, "intro"));
    EXPECT_TRUE(Has(roff, ".TH \"TOOL\" \"1\" \"2026-12-09\" \"zelkor 0.1\" \"User Commands\"\n"));
}

TEST(ManPageSection, LabelsMakeSectionsAndHeadingsBelowThemSubsections)
{
    const std::string md = "## tool(1)\n\n**NAME** \xE2\x80\x94 `tool`, does things\n\n"
                           "**EXIT STATUS** \xE2\x80\x94 0 done; 2 usage\n\n**EXAMPLES**\n\n```\ntool -x\n```\n\n"
                           "### On the line\n\nbatch\n";
    const std::string roff = Page(md, "tool(1)");
    EXPECT_TRUE(Has(roff, ".SH \"EXIT STATUS\"\n.PP\n0 done; 2 usage\n")) << roff;
    EXPECT_TRUE(Has(roff, ".SH \"EXAMPLES\"\n.PP\n.RS 4\n.nf\ntool \\-x\n.fi\n.RE\n")) << roff;
    EXPECT_TRUE(Has(roff, ".SS \"On the line\"\n")) << roff;
}

TEST(ManPageSection, HeadingWithSummaryNamesThePageAndIntroIsTheDescription)
{
    const std::string md = "# sim \xE2\x80\x94 a simulator\n\nIt plays a device.\n\n## Options\n\n- one\n- two\n  more\n";
    const std::string roff = Page(md, "sim", "sim");
    EXPECT_TRUE(Has(roff, ".SH NAME\nsim \\- a simulator\n.SH \"DESCRIPTION\"\n.PP\nIt plays a device.\n")) << roff;
    EXPECT_TRUE(Has(roff, ".SH \"OPTIONS\"\n.IP \\(bu 2\none\n.IP \\(bu 2\ntwo more\n")) << roff;
}

TEST(ManPageSection, RefusedWithoutHeadingOrName)
{
    TManPageResult r = MarkdownToMan("## other\n\ntext\n", "tool(1)", Info());
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(Has(r.error, "tool(1)")) << r.error;

    r = MarkdownToMan("## tool(1)\n\njust text\n", "tool(1)", Info());
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(Has(r.error, "NAME")) << r.error;

    r = MarkdownToMan("## tool(1)\n\n**NAME** \xE2\x80\x94 `other`, not this one\n", "tool(1)", Info());
    EXPECT_FALSE(r.ok);
}

TEST(ManPageTable, HeaderSkippedFirstColumnTaggedEscapedBarsKept)
{
    const std::string md = "## tool(1)\n\n**NAME** \xE2\x80\x94 `tool`, x\n\n**OPTIONS**\n\n"
                           "| Option | Meaning | Default |\n|---|---|---|\n| `--type M\\|N` | output | M |\n"
                           "| `--silent` | never answer | |\n\nafter\n";
    const std::string roff = Page(md, "tool(1)");
    EXPECT_FALSE(Has(roff, "Meaning"));
    EXPECT_TRUE(Has(roff, ".TP\n\\fB\\-\\-type M|N\\fR\noutput \\(em M\n")) << roff;
    EXPECT_TRUE(Has(roff, ".TP\n\\fB\\-\\-silent\\fR\nnever answer\n")) << roff;
    EXPECT_TRUE(Has(roff, ".PP\nafter\n"));
}

TEST(ManPageText, RoffControlCharactersAreEscaped)
{
    const std::string md = "## tool(1)\n\n**NAME** \xE2\x80\x94 `tool`, x\n\n.starts with a dot\n\n"
                           "'quoted start\n\n```\n.in code\n\nC:\\path\n```\n";
    const std::string roff = Page(md, "tool(1)");
    EXPECT_TRUE(Has(roff, "\n\\&.starts with a dot\n")) << roff;
    EXPECT_TRUE(Has(roff, "\n\\&'quoted start\n")) << roff;
    EXPECT_TRUE(Has(roff, "\n\\&.in code\n\\&\nC:\\epath\n")) << roff;
    // No line of the page is a request it did not mean.
    std::istringstream lines(roff);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] != '.')
            continue;
        bool known = false;
        for (const char* r : {".\\\"", ".TH ", ".SH ", ".SS ", ".PP", ".TP", ".IP ", ".RS ", ".RE", ".nf", ".fi"})
            known = known || line.rfind(r, 0) == 0;
        EXPECT_TRUE(known) << line;
    }
}

TEST(ManPageText, InlineMarks)
{
    EXPECT_EQ(RoffInline("`a-b` and **bold** and *it*"), "\\fBa\\-b\\fR and \\fBbold\\fR and \\fIit\\fR");
    EXPECT_EQ(RoffInline("see [the sim](tools/sim/README.md)."), "see the sim.");
    EXPECT_EQ(RoffInline("**open"), "\\fBopen\\fR");
    EXPECT_EQ(RoffInline("4\xE2\x80\x93" "20 mA at 25 \xC2\xB0" "C \xE2\x80\x94 ok\xE2\x80\xA6"),
              "4\\(en20 mA at 25 \\(deC \\(em ok\\&...");
    EXPECT_EQ(RoffInline("2 * 3"), "2 * 3");
    // Cyrillic passes as it is.
    EXPECT_EQ(RoffInline("\xD0\x94\xD0\xB0"), "\xD0\x94\xD0\xB0");
}

// The pages the package installs: the README sections must stay convertible.
TEST(ManPageReadme, CliAndSimPagesComeFromTheReadmes)
{
    const std::string cli = Page(ReadSource("README.md"), "zelkor-cli(1)", "zelkor-cli");
    EXPECT_TRUE(Has(cli, ".SH NAME\nzelkor\\-cli \\- ")) << cli;
    for (const char* section : {"SYNOPSIS", "DESCRIPTION", "COMMANDS", "OPTIONS", "EXIT STATUS", "EXAMPLES"})
        EXPECT_TRUE(Has(cli, std::string(".SH \"") + section + "\"\n")) << section;
    EXPECT_FALSE(Has(cli, "Records of a session")) << "the next README section leaked in";

    const std::string sim = Page(ReadSource("tools/sim/README.md"), "zelkor-sim", "zelkor-sim");
    EXPECT_TRUE(Has(sim, ".SH NAME\nzelkor\\-sim \\- ")) << sim;
    for (const char* section : {"DESCRIPTION", "OPTIONS"})
        EXPECT_TRUE(Has(sim, std::string(".SH \"") + section + "\"\n")) << section;
    EXPECT_TRUE(Has(sim, "\\-\\-no\\-pacing"));
}
