// The command line.
#include "SimOptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

bool Parse(std::vector<const char*> args, TSimOptions& o, std::string* error = nullptr)
{
    args.insert(args.begin(), "zelkor-sim");
    return ParseSimOptions(int(args.size()), args.data(), o, error);
}

} // namespace

TEST(SimOptions, EveryOptionLandsWhereItBelongs)
{
    TSimOptions o;
    ASSERT_TRUE(Parse({"--link", "/tmp/com1", "--state", "s.ini", "--address", "0x10", "--type", "n", "--temperature",
                       "-12,5", "--diag-state", "3", "--noise", "0", "--reply-delay", "150", "--no-pacing",
                       "--pieces", "3", "--piece-gap", "50", "--silent", "--drop-first", "2", "--exception", "M:11",
                       "--exception", "3:2", "--bad-crc", "--bad-crc-first", "4", "--verbose", "--control"},
                      o));
    EXPECT_EQ(o.linkPath, "/tmp/com1");
    EXPECT_EQ(o.stateFile, "s.ini");
    EXPECT_EQ(o.address, 16);
    EXPECT_EQ(o.typeCode, 'N');
    EXPECT_DOUBLE_EQ(*o.temperature, -12.5);
    EXPECT_EQ(o.diagState, 3);
    EXPECT_DOUBLE_EQ(o.noise, 0.0);
    EXPECT_EQ(o.replyDelayMs, 150);
    EXPECT_FALSE(o.pacing);
    EXPECT_EQ(o.pieces, 3);
    EXPECT_EQ(o.pieceGapMs, 50);
    EXPECT_TRUE(o.faults.silent);
    EXPECT_EQ(o.faults.dropFirst, 2);
    EXPECT_EQ(o.faults.exceptions.at(0x4D), 11);
    EXPECT_EQ(o.faults.exceptions.at(3), 2);
    EXPECT_TRUE(o.faults.badCrc);
    EXPECT_EQ(o.faults.badCrcFirst, 4);
    EXPECT_TRUE(o.verbose);
    EXPECT_TRUE(o.control);

    TSimOptions d;
    ASSERT_TRUE(Parse({}, d));
    EXPECT_TRUE(d.pacing);
    EXPECT_EQ(d.replyDelayMs, 20);
    EXPECT_FALSE(d.address);
}

TEST(SimOptions, OutputError)
{
    TSimOptions o;
    ASSERT_TRUE(Parse({"--output-offset", "-150", "--output-gain", "2500,5"}, o));
    EXPECT_DOUBLE_EQ(o.output.offsetUa, -150);
    EXPECT_DOUBLE_EQ(o.output.gainPpm, 2500.5);
    TSimOptions d;
    ASSERT_TRUE(Parse({}, d));
    EXPECT_DOUBLE_EQ(d.output.offsetUa, 0);
    EXPECT_DOUBLE_EQ(d.output.gainPpm, 0);
}

TEST(SimOptions, BadValuesAreRefusedWithAReason)
{
    const std::vector<std::vector<const char*>> bad = {
        {"--address", "0"},      {"--address", "256"},      {"--address"},           {"--type", "X"},
        {"--temperature", "hot"}, {"--pieces", "0"},        {"--exception", "3"},    {"--exception", "3:300"},
        {"--exception", "Q:1"},  {"--reply-delay", "-1"},   {"--link", ""},          {"--frobnicate"},
        {"--output-offset", "5000"}, {"--output-gain", "x"},
    };
    for (const auto& args : bad) {
        TSimOptions o;
        std::string error;
        EXPECT_FALSE(Parse(args, o, &error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
}

TEST(SimOptions, HelpNamesEveryOption)
{
    const std::string help = SimHelpText();
    for (const char* opt : {"--link", "--state", "--address", "--type", "--temperature", "--diag-state", "--noise",
                            "--reply-delay", "--no-pacing", "--pieces", "--piece-gap", "--silent", "--drop-first",
                            "--exception", "--bad-crc", "--bad-crc-first", "--control", "--verbose", "--help",
                            "--output-offset", "--output-gain"})
        EXPECT_NE(help.find(opt), std::string::npos) << opt;
}
