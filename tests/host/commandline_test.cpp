#include "host/CommandLine.h"

#include <gtest/gtest.h>

using namespace velk;
using namespace velk::host;

TEST(CommandLineTest, ReadsEveryRenderOption)
{
    const CommandLine line =
        parseCommandLine({"render", "velk.test.gauge", "-o", "out.png", "--size", "364x170.5", "--scale=2", "--now",
                          "2025-03-07T09:30:00+01:00", "--config", R"({"step":5})", "--mode", "timeline", "--entry",
                          "1", "--scheme", "light", "--rendering", "tinted"});
    ASSERT_TRUE(line.ok()) << line.error.toStdString();
    const HostCommand& c = line.command;
    EXPECT_EQ(c.verb, Verb::render);
    EXPECT_EQ(c.target, "velk.test.gauge");
    EXPECT_EQ(c.output, "out.png");
    EXPECT_EQ(c.size, QSizeF(364, 170.5));
    EXPECT_EQ(c.scale, 2);
    // 08:30 UTC on 2025-03-07.
    EXPECT_EQ(c.now, Date::fromUnix(1741336200));
    EXPECT_EQ(c.configuration, (QJsonObject{{"step", 5}}));
    EXPECT_EQ(c.entry, 1);
    EXPECT_EQ(c.environment, (view::Environment{view::ColorScheme::light, view::RenderingMode::accented}));
}

TEST(CommandLineTest, DefaultsAreTheLiveTimelineInDarkFullColour)
{
    const CommandLine line = parseCommandLine({"tree", "k"});
    ASSERT_TRUE(line.ok());
    EXPECT_FALSE(line.command.size);
    EXPECT_FALSE(line.command.now);
    EXPECT_EQ(line.command.scale, 1);
    EXPECT_EQ(line.command.source, EntrySource::timeline);
    EXPECT_EQ(line.command.entry, 0);
    EXPECT_EQ(line.command.environment, (view::Environment{view::ColorScheme::dark, view::RenderingMode::fullColor}));
}

TEST(CommandLineTest, RefusesMalformedCommandLinesWithOneLine)
{
    const std::vector<QStringList> bad = {
        {"draw", "k"},
        {"remove"}, // no id
        {"add"},    // no kind
        {"placed", "x"},
        {"render", "k"}, // no -o
        {"tree"},        // no kind
        {"run-intent"},  // no type
        {"tree", "k", "extra"},
        {"list", "k"},
        {"tree", "k", "--size", "344"},
        {"tree", "k", "--size", "0x160"},
        {"tree", "k", "--size", "-5x160"},
        {"tree", "k", "--size", "nanxinf"},
        {"tree", "k", "--scale", "0"},
        {"tree", "k", "--scale", "two"},
        {"tree", "k", "--scale"},                             // no value
        {"tree", "k", "--size", "4000x4000", "--scale", "4"}, // gigabytes of pixels
        {"tree", "k", "--now", "yesterday"},
        {"tree", "k", "--config", "{\"step\":"},
        {"tree", "k", "--config", "[1,2]"},
        {"tree", "k", "--mode", "live"},
        {"tree", "k", "--entry", "-1"},
        {"tree", "k", "--mode", "snapshot", "--entry", "1"},
        {"tree", "k", "--scheme", "blue"},
        {"tree", "k", "--rendering", "mono"},
        {"tree", "k", "-o", "x.png"}, // render only
        {"timeline", "k", "--size", "10x10"},
        {"run-intent", "T", "--param", "novalue"},
        {"run-intent", "T", "--param", "=1"},
    };
    for (const QStringList& args : bad) {
        const CommandLine line = parseCommandLine(args);
        EXPECT_FALSE(line.ok()) << args.join(' ').toStdString();
        EXPECT_FALSE(line.error.contains('\n')) << line.error.toStdString();
    }
}

TEST(CommandLineTest, ParamValuesAreJsonWhenTheyParseElseText)
{
    struct Case {
        const char* text;
        QJsonValue value;
    };
    for (const Case& c : {Case{"2500", 2500}, Case{"true", true}, Case{"null", QJsonValue()}, Case{"\"next\"", "next"},
                          Case{"next", "next"}, Case{"1,2", "1,2"}, Case{"{\"a\":1}", QJsonObject{{"a", 1}}},
                          Case{"", ""}, Case{"a=b", "a=b"}})
        EXPECT_EQ(parameterValue(c.text), c.value) << c.text;

    const CommandLine line =
        parseCommandLine({"run-intent", "AddStepsIntent", "--param", "steps=2500", "--param", "note=a=b"});
    ASSERT_TRUE(line.ok());
    EXPECT_EQ(line.command.parameters, (QJsonObject{{"steps", 2500}, {"note", "a=b"}}));
}

TEST(CommandLineTest, NoCommandRunsTheHostAndPlacementVerbsTakeTheirTarget)
{
    EXPECT_EQ(parseCommandLine({}).command.verb, Verb::host);
    EXPECT_TRUE(parseCommandLine({}).ok());
    const CommandLine add = parseCommandLine({"add", "velk.clock.dual"});
    ASSERT_TRUE(add.ok());
    EXPECT_EQ(add.command.verb, Verb::add);
    EXPECT_EQ(add.command.target, "velk.clock.dual");
    EXPECT_EQ(parseCommandLine({"remove", "ABC"}).command.target, "ABC");
    EXPECT_EQ(parseCommandLine({"placed"}).command.verb, Verb::placed);
}
