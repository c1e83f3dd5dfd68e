#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "tests/common/TestEnvironment.h"
#include "tests/engine/ManualClocks.h"
#include "engine/RigSim.h"
#include "persist/AtomicFile.h"
#include "persist/SettingsFiles.h"
#include "persist/Startup.h"
#include "support/DataRoot.h"
#include "support/TextFile.h"

namespace {

namespace fs = std::filesystem;

size_t FilesIn(const std::string& folder) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// Runs body in a child process and returns its exit status.
template <typename Body>
int InChild(Body body) {
  const pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(AtomicSaveTest, ASaveThatCannotBeWrittenLeavesTheOldFileAndNoTemporaryFile) {
  const std::string folder = vorn::test::MakeScratchFolder("atomic-full");
  const std::string path = folder + "/SimSettings.json";
  ASSERT_TRUE(vorn::WriteTextFileAtomically(path, "old\ntext"));
  EXPECT_EQ(vorn::ReadTextFile(path), "old\ntext");

  // A file size limit stands for a full disk, and holds for root as well.
  const int outcome = InChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{16, 16};
    setrlimit(RLIMIT_FSIZE, &limit);
    return vorn::WriteTextFileAtomically(path, std::string(1000, 'x')) ? 1 : 0;
  });
  EXPECT_EQ(outcome, 0);
  EXPECT_EQ(vorn::ReadTextFile(path), "old\ntext");
  EXPECT_EQ(FilesIn(folder), 1u);

  // A folder that is gone: nothing is created, false comes back.
  EXPECT_FALSE(vorn::WriteTextFileAtomically(folder + "/missing/x.json", "x"));
}

TEST(AtomicSaveTest, ASaveKeepsTheFolderPermissionsOfAnOrdinaryFile) {
  const std::string folder = vorn::test::MakeScratchFolder("atomic-mode");
  const mode_t mask = umask(022);
  ASSERT_TRUE(vorn::WriteTextFileAtomically(folder + "/a.json", "{}"));
  umask(mask);
  EXPECT_EQ(fs::status(folder + "/a.json").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
}

TEST(AtomicSaveTest, AProcessKilledWhileSavingAlwaysLeavesAFileThatLoads) {
  fs::remove_all(vorn::SettingsFolder());
  vorn::CreateDataFolders();
  vorn::test::ManualClocks clocks;
  CRigSim small(clocks.Make());
  small.BuildDefaultItems();
  small.m_outputItems.resize(3);
  CRigSim large(clocks.Make());
  large.m_outputItems.assign(400, COutputItem(false, true, "LONG", 0, ItemText, 0, 0, 0, std::string(200, 'd'),
                                              FilterBoth, false, 1, 1));
  SaveSimSettings(small);

  for (int round = 0; round < 12; ++round) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t pid = fork();
    if (pid == 0) {
      close(ready[0]);
      for (int i = 0;; ++i) {
        SaveSimSettings(i % 2 == 0 ? large : small);
        if (i == round) (void)!write(ready[1], "r", 1);
      }
    }
    close(ready[1]);
    char byte;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);

    CRigSim loaded(clocks.Make());
    LoadSimSettings(loaded);
    const size_t count = loaded.m_outputItems.size();
    EXPECT_TRUE(count == 3 || count == 400) << "round " << round << ": " << count << " items";
  }
}

fs::perms Permissions(const std::string& path) { return fs::status(path).permissions() & fs::perms::all; }

// A settings file kept elsewhere and linked into the folder (through a chain of links, one of them
// relative) stays linked: the save goes to the target, in the target's own folder, with its mode.
TEST(AtomicSaveTest, ASaveThroughLinksReplacesTheTargetAndKeepsLinksAndMode) {
  const std::string folder = vorn::test::MakeScratchFolder("atomic-links");
  fs::create_directories(folder + "/real");
  fs::create_directories(folder + "/settings");
  const std::string target = folder + "/real/SimState.json";
  ASSERT_TRUE(vorn::WriteTextFileAtomically(target, "old"));
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink("../real/SimState.json", folder + "/settings/middle.json");
  fs::create_symlink(folder + "/settings/middle.json", folder + "/settings/SimState.json");

  ASSERT_TRUE(vorn::WriteTextFileAtomically(folder + "/settings/SimState.json", "new\ntext"));
  EXPECT_TRUE(fs::is_symlink(folder + "/settings/SimState.json"));
  EXPECT_TRUE(fs::is_symlink(folder + "/settings/middle.json"));
  EXPECT_EQ(vorn::ReadTextFile(target), "new\ntext");
  EXPECT_EQ(Permissions(target), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(FilesIn(folder + "/real"), 1u);
  EXPECT_EQ(FilesIn(folder + "/settings"), 2u);

  // A plain file keeps its mode as well.
  const std::string plain = folder + "/plain.json";
  ASSERT_TRUE(vorn::WriteTextFileAtomically(plain, "a"));
  fs::permissions(plain, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(vorn::WriteTextFileAtomically(plain, "b"));
  EXPECT_EQ(Permissions(plain), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// A link whose target is missing gets its target made, as writing through the link would; a target
// whose folder is missing, or a loop of links, fails the save and leaves the links as they are.
TEST(AtomicSaveTest, ADanglingLinkGetsItsTargetMadeAndALoopFails) {
  const std::string folder = vorn::test::MakeScratchFolder("atomic-dangling");
  fs::create_symlink("target.json", folder + "/link.json");
  ASSERT_TRUE(vorn::WriteTextFileAtomically(folder + "/link.json", "made"));
  EXPECT_TRUE(fs::is_symlink(folder + "/link.json"));
  EXPECT_EQ(vorn::ReadTextFile(folder + "/target.json"), "made");

  fs::create_symlink(folder + "/missing/target.json", folder + "/nowhere.json");
  EXPECT_FALSE(vorn::WriteTextFileAtomically(folder + "/nowhere.json", "x"));
  EXPECT_TRUE(fs::is_symlink(folder + "/nowhere.json"));

  fs::create_symlink("loop-b.json", folder + "/loop-a.json");
  fs::create_symlink("loop-a.json", folder + "/loop-b.json");
  EXPECT_FALSE(vorn::WriteTextFileAtomically(folder + "/loop-a.json", "x"));
  EXPECT_TRUE(fs::is_symlink(folder + "/loop-a.json"));
  EXPECT_EQ(FilesIn(folder), 5u);
}

// A save killed between making its temporary file and renaming it leaves the temporary file behind;
// the next start removes such leftovers of the three settings files and nothing else.
TEST(AtomicSaveTest, LeftoversOfKilledSavesAreRemovedAtStart) {
  fs::remove_all(vorn::SettingsFolder());
  vorn::CreateDataFolders();
  const std::string settings = vorn::SettingsFolder() + "/";
  const std::vector<std::string> leftovers = {"SimSettings.json.tmp-a1B2c3", "SimState.json.tmp-000000",
                                              "WitsCommSettings.json.tmp-zZzZzZ"};
  const std::vector<std::string> others = {"SimSettings.json",          "SimSettings.json.tmp-abc",
                                           "SimSettings.json.tmp-abcdefg", "SimSettings.json.tmp-ab.def",
                                           "Other.json.tmp-abcdef",     "notes.txt",
                                           "SimState.json.bak"};
  for (const auto& name : leftovers) vorn::WriteTextFile(settings + name, "{\"Version\": 1");
  for (const auto& name : others) vorn::WriteTextFile(settings + name, "keep");
  fs::create_directory(settings + "SimState.json.tmp-folder");

  vorn::test::ManualClocks clocks;
  CRigSim engine(clocks.Make());
  LoadEngineAtStartup(engine);
  for (const auto& name : leftovers) EXPECT_FALSE(fs::exists(settings + name)) << name;
  for (const auto& name : others) EXPECT_TRUE(fs::exists(settings + name)) << name;
  EXPECT_TRUE(fs::is_directory(settings + "SimState.json.tmp-folder"));
}

}  // namespace
