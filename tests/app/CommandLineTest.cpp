#include <gtest/gtest.h>

#include <QFile>

#include "app/CommandLine.h"

namespace {

CommandLineResult Parse(QStringList arguments) {
  arguments.prepend("vornrigsim");
  return ParseCommandLine(arguments);
}

TEST(CommandLineTest, ReadsEveryOption) {
  const auto result = Parse({"--headless", "--duration", "2.5", "--ten-times", "--console", "--root", "/tmp/x"});
  ASSERT_FALSE(result.exitCode);
  EXPECT_TRUE(result.options.headless);
  EXPECT_EQ(result.options.durationSeconds.value_or(0), 2.5);
  EXPECT_TRUE(result.options.tenTimes);
  EXPECT_TRUE(result.options.console);
  EXPECT_EQ(result.options.root.value_or(""), "/tmp/x");

  const auto plain = Parse({});
  ASSERT_FALSE(plain.exitCode);
  EXPECT_FALSE(plain.options.headless);
  EXPECT_FALSE(plain.options.durationSeconds);
  EXPECT_FALSE(plain.options.root);
}

TEST(CommandLineTest, HelpAndVersionExitZero) {
  const auto version = Parse({"--version"});
  EXPECT_EQ(version.exitCode.value_or(-1), 0);
  EXPECT_EQ(version.output, "Vorn Rig Sim v1.0.2.7\n");
  EXPECT_FALSE(version.outputIsError);

  const auto help = Parse({"--help"});
  EXPECT_EQ(help.exitCode.value_or(-1), 0);
  EXPECT_NE(help.output.find("--headless"), std::string::npos);
  EXPECT_EQ(help.output.substr(0, help.output.find('\n')), "Usage: vornrigsim [options]");
}

TEST(CommandLineTest, BadInputExitsTwoWithAMessage) {
  for (const QStringList& arguments : {QStringList{"--bogus"}, QStringList{"--duration"},
                                       QStringList{"--duration", "abc"}, QStringList{"--duration", "-3"},
                                       QStringList{"--duration", "inf"}, QStringList{"stray"}}) {
    const auto result = Parse(arguments);
    EXPECT_EQ(result.exitCode.value_or(-1), 2) << arguments.join(' ').toStdString();
    EXPECT_TRUE(result.outputIsError);
    EXPECT_FALSE(result.output.empty());
  }
}

TEST(CommandLineTest, HeadlessIsFoundBeforeAnyApplicationObject) {
  char program[] = "vornrigsim";
  char headless[] = "--headless";
  char other[] = "--console";
  char* withIt[] = {program, other, headless};
  char* without[] = {program, other};
  EXPECT_TRUE(WantsHeadless(3, withIt));
  EXPECT_FALSE(WantsHeadless(2, without));
}

}  // namespace

namespace {

TEST(CommandLineControlTest, AddressDefaultsToLoopbackAndTakesIpAddresses) {
  const auto portOnly = Parse({"--headless", "--control", "8080"});
  ASSERT_FALSE(portOnly.exitCode);
  ASSERT_TRUE(portOnly.options.control);
  EXPECT_EQ(portOnly.options.control->address, "127.0.0.1");
  EXPECT_EQ(portOnly.options.control->port, 8080);

  const auto any = Parse({"--control", "0.0.0.0:1"});  // the window takes it too
  ASSERT_FALSE(any.exitCode);
  EXPECT_EQ(any.options.control->address, "0.0.0.0");
  EXPECT_EQ(any.options.control->port, 1);

  const auto v6 = Parse({"--headless", "--control", "[::1]:65535"});
  ASSERT_FALSE(v6.exitCode);
  EXPECT_EQ(v6.options.control->address, "::1");
  EXPECT_EQ(v6.options.control->port, 65535);

  EXPECT_FALSE(Parse({"--headless"}).options.control);
}

TEST(CommandLineControlTest, BadEndpointsExitTwoNamingTheOption) {
  for (const char* text : {"0", "65536", "-1", "80x", "", "localhost:80", "1.2.3.4:", ":80", "::1:80",
                           "[127.0.0.1]:80", "[::1]", "300.1.1.1:80", "8080 ", "+80", "fe80::1%eth0"}) {
    const auto result = Parse({"--headless", "--control", text});
    EXPECT_EQ(result.exitCode.value_or(-1), 2) << text;
    EXPECT_TRUE(result.outputIsError);
    EXPECT_NE(result.output.find("--control"), std::string::npos) << result.output;
  }
}

TEST(CommandLineControlTest, MaxConnectionsIsAWholeNumberInRangeAndNeedsControl) {
  EXPECT_FALSE(Parse({"--headless", "--control", "9000"}).options.controlMaxConnections);
  EXPECT_EQ(Parse({"--headless", "--control", "9000", "--control-max-connections", "1"})
                .options.controlMaxConnections.value_or(0),
            1);
  for (const char* text : {"0", "-3", "100001", "6x", ""}) {
    EXPECT_EQ(Parse({"--headless", "--control", "9000", "--control-max-connections", text}).exitCode.value_or(-1), 2)
        << text;
  }
  EXPECT_EQ(Parse({"--headless", "--control-max-connections", "8"}).exitCode.value_or(-1), 2);
}

TEST(CommandLineControlTest, TokenFromOptionOrEnvironmentOnlyWithControl) {
  const auto option = Parse({"--headless", "--control", "9000", "--control-token", "s3cret"});
  ASSERT_FALSE(option.exitCode);
  EXPECT_EQ(option.options.controlToken.value_or(""), "s3cret");

  QStringList arguments{"vornrigsim", "--headless", "--control", "9000"};
  EXPECT_EQ(ParseCommandLine(arguments, std::string("fromenv")).options.controlToken.value_or(""), "fromenv");
  // The option wins over the variable; an empty variable counts as unset.
  EXPECT_EQ(ParseCommandLine(arguments + QStringList{"--control-token", "opt"}, std::string("env"))
                .options.controlToken.value_or(""),
            "opt");
  EXPECT_FALSE(ParseCommandLine(arguments, std::string("")).options.controlToken);
  // Without the API the variable is ignored; the option alone is a mistake.
  EXPECT_FALSE(ParseCommandLine({"vornrigsim", "--headless"}, std::string("env")).options.controlToken);
  EXPECT_EQ(Parse({"--headless", "--control-token", "abc"}).exitCode.value_or(-1), 2);

  for (const char* bad : {"", "has space", "tab\there", "caf\xc3\xa9"}) {
    const auto result = Parse({"--headless", "--control", "9000", "--control-token", QString::fromUtf8(bad)});
    EXPECT_EQ(result.exitCode.value_or(-1), 2) << bad;
  }
}

TEST(CommandLineHistoryTest, HistoryCsvNeedsHeadlessAndAFileName) {
  const auto result = Parse({"--headless", "--history-csv", "/tmp/run.csv"});
  ASSERT_FALSE(result.exitCode);
  EXPECT_EQ(result.options.historyCsv.value_or(""), "/tmp/run.csv");
  EXPECT_FALSE(Parse({"--headless"}).options.historyCsv);
  EXPECT_EQ(Parse({"--history-csv", "/tmp/run.csv"}).exitCode.value_or(-1), 2);
  EXPECT_EQ(Parse({"--headless", "--history-csv", ""}).exitCode.value_or(-1), 2);
}

}  // namespace

namespace {

TEST(CommandLineFaultsTest, FaultsAPlanAndASeedAreReadAndChecked) {
  const QString plan = QString::fromStdString(::testing::TempDir()) + "/plan.json";
  {
    QFile file(plan);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"seed": 3, "faults": [{"at": 30, "fault": "silence", "seconds": 31}]})");
  }
  const auto result = Parse({"--headless", "--fault", "split:pieces=3,gap_ms=20", "--fault", "swap:every=4",
                             "--fault-plan", plan, "--seed", "18446744073709551615"});
  ASSERT_FALSE(result.exitCode) << result.output;
  ASSERT_EQ(result.options.faults.size(), 2u);
  EXPECT_EQ(FaultText(result.options.faults[0]), "split:pieces=3,gap_ms=20");
  EXPECT_EQ(FaultText(result.options.faults[1]), "swap:every=4");
  ASSERT_TRUE(result.options.faultPlan);
  EXPECT_EQ(FaultText(result.options.faultPlan->entries.at(0)), "silence:seconds=31,at=30");
  EXPECT_EQ(result.options.seed, 18446744073709551615ull);

  const auto badFault = Parse({"--headless", "--fault", "pace:bps=0"});
  EXPECT_EQ(badFault.exitCode.value_or(-1), 2);
  EXPECT_EQ(badFault.output,
            "Invalid value for --fault: 'pace:bps=0': Fault 'pace': parameter 'bps' must be a number above 0 and at "
            "most 10000000, not '0'.\n");
  const auto missing = Parse({"--headless", "--fault-plan", plan + ".missing"});
  EXPECT_EQ(missing.exitCode.value_or(-1), 2);
  EXPECT_EQ(missing.output.rfind("Cannot read the fault plan '", 0), 0u) << missing.output;
  {
    QFile file(plan);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(R"([{"fault": "silence", "seconds": "31"}])");
  }
  const auto badPlan = Parse({"--headless", "--fault-plan", plan});
  EXPECT_EQ(badPlan.exitCode.value_or(-1), 2);
  EXPECT_EQ(badPlan.output, "Invalid fault plan '" + plan.toStdString() +
                                "': Fault plan, entry 1: Fault 'silence': parameter 'seconds' must be a JSON number, a "
                                "number above 0 and at most 86400, not the string '31'.\n");
  EXPECT_EQ(Parse({"--seed", "-2"}).exitCode.value_or(-1), 2);
  const auto endless = Parse({"--headless", "--fault-plan", "/dev/zero"});
  EXPECT_EQ(endless.exitCode.value_or(-1), 2);
  EXPECT_EQ(endless.output, "The fault plan '/dev/zero' is over 1 MiB.\n");
}

TEST(CommandLineTest, ReplayOptionsAreReadAndCheckedTogether) {
  const auto result = Parse({"--replay", "w.las", "--replay-map", "m.json", "--replay-speed", "7.5", "--replay-start",
                             "row:10", "--replay-loop"});
  ASSERT_FALSE(result.exitCode) << result.output;
  ASSERT_TRUE(result.options.replay);
  EXPECT_EQ(result.options.replay->path, "w.las");
  EXPECT_EQ(result.options.replay->mapPath, "m.json");
  EXPECT_EQ(result.options.replay->speed, 7.5);
  EXPECT_EQ(result.options.replay->start, "row:10");
  EXPECT_TRUE(result.options.replay->loop);
  EXPECT_FALSE(Parse({}).options.replay);
  const auto metric = Parse({"--replay", "w.las", "--replay-rop", "30", "--replay-units", "Metric"});
  ASSERT_FALSE(metric.exitCode) << metric.output;
  EXPECT_EQ(metric.options.replay->ropPerHour, 30.0);
  EXPECT_EQ(metric.options.replay->units, vorn::replay::UnitSystem::Metric);
  EXPECT_EQ(Parse({"--replay", "w.las", "--replay-units", "si"}).output,
            "Invalid value for --replay-units: 'si' (metric or imperial).\n");
  const auto slow = Parse({"--replay", "w.las", "--replay-speed", "0.05"});
  EXPECT_EQ(slow.exitCode.value_or(0), 2);
  EXPECT_EQ(slow.output, "Invalid value for --replay-speed: '0.05' (a number from 0.1 to 1000).\n");
  const auto alone = Parse({"--replay-loop"});
  EXPECT_EQ(alone.exitCode.value_or(0), 2);
  EXPECT_EQ(alone.output, "--replay-loop needs --replay FILE.\n");
}

}  // namespace

TEST(CommandLineFleetTest, AFleetIsAHeadlessCountOfRigsWithAnOptionalSeed) {
  const auto fleet = Parse({"--headless", "--fleet", "1000", "--fleet-seed", "18446744073709551615"});
  ASSERT_FALSE(fleet.exitCode) << fleet.output;
  EXPECT_EQ(fleet.options.fleet.value_or(0), 1000);
  EXPECT_EQ(fleet.options.fleetSeed.value_or(0), UINT64_MAX);
  EXPECT_FALSE(Parse({"--headless"}).options.fleet);
  const auto slice = Parse({"--headless", "--fleet", "500", "--fleet-first", "501", "--log-format", "json"});
  ASSERT_FALSE(slice.exitCode) << slice.output;
  EXPECT_EQ(slice.options.fleetFirst, 501);
  EXPECT_EQ(slice.options.logFormat, vorn::StatusFormat::Json);
  EXPECT_EQ(fleet.options.fleetFirst, 1);

  const std::pair<QStringList, std::string> refused[] = {
      {{"--fleet", "3"}, "--fleet applies to --headless only"},
      {{"--headless", "--fleet", "0"}, "Invalid value for --fleet: '0'"},
      {{"--headless", "--fleet", "65536"}, "Invalid value for --fleet"},
      {{"--headless", "--fleet", "+5"}, "Invalid value for --fleet"},
      {{"--headless", "--fleet", "2x"}, "Invalid value for --fleet"},
      {{"--headless", "--fleet-seed", "4"}, "--fleet-seed needs --fleet N"},
      {{"--headless", "--fleet", "2", "--fleet-seed", "-1"}, "Invalid value for --fleet-seed"},
      {{"--headless", "--fleet", "2", "--history-csv", "/tmp/h.csv"}, "keep no history"},
      {{"--headless", "--fleet-first", "3"}, "--fleet-first needs --fleet N"},
      {{"--headless", "--fleet", "2", "--fleet-first", "0"}, "Invalid value for --fleet-first: '0'"},
      {{"--headless", "--fleet", "2", "--fleet-first", "999999"}, "a rig number from 1 to 999998"},
      {{"--log-format", "json"}, "--log-format applies to --headless only"},
      {{"--headless", "--log-format", "xml"}, "Invalid value for --log-format: 'xml' (text or json)"},
  };
  for (const auto& [arguments, message] : refused) {
    const auto result = Parse(arguments);
    EXPECT_EQ(result.exitCode.value_or(-1), 2) << arguments.join(' ').toStdString();
    EXPECT_NE(result.output.find(message), std::string::npos) << result.output;
  }
}
