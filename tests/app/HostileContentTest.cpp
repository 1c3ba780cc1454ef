// Hostile content through the built qxhost program, as a user meets it: each case ends with
// status 0 or 1 and a message naming the file, never with a signal, and never waits for ever
// (a watchdog kills a run that would, and the case then fails).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "AppTestSupport.h"
#include "app/ContactSheet.h"
#include "app/Printable.h"
#include "host_archives/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using qxhost::app::kSheetShots;
using qxtest::expectHas;
using qxtest::readFile;

struct Outcome {
    int status = -1; // exit status, or -1 when a signal ended it
    int signal = 0;
    std::string out;
    std::string err;
};

// Runs build/qxhost with the arguments; a run still going after 60 s is killed by SIGALRM.
Outcome qxhostProcess(const std::vector<std::string>& arguments, const qxtest::TempFolder& work) {
    const std::string out = work.at("stdout.txt");
    const std::string err = work.at("stderr.txt");
    const std::string program = qxtest::binaryDir() + "/qxhost";
    const pid_t child = fork();
    if (child == 0) {
        const int outFile = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int errFile = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(outFile, STDOUT_FILENO);
        dup2(errFile, STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        alarm(60);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    Outcome outcome;
    if (WIFEXITED(status)) {
        outcome.status = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        outcome.signal = WTERMSIG(status);
    }
    outcome.out = readFile(out);
    outcome.err = readFile(err);
    return outcome;
}

// qxhost run on DATA with the script's lines, writing to the folder's "out".
Outcome runScript(const std::string& data, const std::string& script,
                  const qxtest::TempFolder& work, const std::vector<std::string>& more = {}) {
    return qxhostProcess(
        qxtest::runArguments(data, work.write("s.txt", script), work.at("out"), more), work);
}

Outcome check(const std::string& data, const qxtest::TempFolder& work) {
    return qxhostProcess({"check", data, "--module", qxtest::modulePath()}, work);
}

std::string copyDemo(const qxtest::TempFolder& folder) {
    return qxtest::copyDemo(folder.at("data"));
}

// A message that names the file and says nothing more than one line.
void expectOneLineNaming(const Outcome& outcome, const std::string& file, const std::string& what) {
    EXPECT_EQ(outcome.signal, 0) << file << " ended by signal " << outcome.signal;
    EXPECT_EQ(outcome.status, 1) << outcome.out << outcome.err;
    const std::string line = "qxhost: cannot load module " + file + ": " + what;
    EXPECT_EQ(outcome.err.rfind(line, 0), 0u) << outcome.err;
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
}

// A module cut short used to kill the process inside the system loader (SIGBUS).
TEST(HostileContent, TruncatedModuleIsRefusedByName) {
    qxtest::TempFolder folder;
    const std::string module = readFile(qxtest::modulePath());
    for (const std::size_t keep : {std::size_t{4096}, module.size() / 2}) {
        const std::string cut = folder.write("cut.kpx", module.substr(0, keep));
        const Outcome info = qxhostProcess({"info", cut}, folder);
        expectOneLineNaming(info, cut, "truncated or damaged: ");
        EXPECT_EQ(info.out, "");
        expectOneLineNaming(runScript(qxtest::demoData(), "wait 100\n", folder, {"--module", cut}),
                            cut, "truncated or damaged: ");
    }
}

// Layout values at and beyond the ends of 32 bits used to overflow the scene's sums (the dev
// build aborted): they are read like atoi, saturating, and the scene plays on with them.
TEST(HostileContent, PlacesAtTheEndsOfTheRangePlayOn) {
    struct Case {
        const char* porte;
        const char* centre;
        const char* removed; // a picture, so that a door or the scene's origin moves
        const char* named;   // a line of check's report
    };
    const Case cases[] = {
        {"99999999999,99999999999", "-99999999999,-99999999999", nullptr,
         "porte01: door 1 (96 x 144 at 2147483647,2147483647) lies off the screen"},
        {"104,170", "2147483647,-2147483648", nullptr,
         "textcenter01: 2147483647,-2147483648 lies off the screen"},
        {"-2147483648,2147483647", "2147483647,2147483647", "pt1.png", "porte01: door 1 ("},
        // Without a round picture door 1 heads the drawing list: every element is drawn
        // relative to it, far out in the range.
        {"2147483000,2147483000", "5,5", "manche01.png", "porte01: door 1 ("}};
    for (const Case& c : cases) {
        qxtest::TempFolder folder;
        const std::string data = copyDemo(folder);
        qxtest::replaceLine(folder.at("data/choice/values.txt"), "porte01",
                            std::string("porte01 = ") + c.porte);
        qxtest::replaceLine(folder.at("data/choice/values.txt"), "textcenter01",
                            std::string("textcenter01 = ") + c.centre);
        if (c.removed != nullptr) {
            fs::remove(folder.at(std::string("data/choice/") + c.removed));
        }
        const Outcome checked = check(data, folder);
        EXPECT_EQ(checked.signal, 0) << c.porte;
        EXPECT_EQ(checked.status, 1) << c.porte;
        expectHas(checked.out, {c.named});
        const Outcome run = runScript(data,
                                      "wait 1800\ndrag 58 428 152 242 400\nwait 900\nshot a\n"
                                      "click 610 440\nwait 500\nclick 60 24\nwait 800\n",
                                      folder, {"--overlay"});
        EXPECT_EQ(run.signal, 0) << c.porte;
        EXPECT_EQ(run.status, 0) << c.porte << "\n" << run.err;
        if (c.removed == nullptr && std::string(c.porte) == "104,170") {
            expectHas(run.out, {"door 1 (word 13): History"});
        }
    }
}

// A FIFO used to block check, run and info for ever: opening one waits for a writer.
TEST(HostileContent, FifosAreRefusedNotWaitedFor) {
    qxtest::TempFolder folder;
    const std::string data = copyDemo(folder);
    const std::string fifo = folder.at("fifo.kpx");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    expectOneLineNaming(qxhostProcess({"info", fifo}, folder), fifo, "not a regular file");

    fs::remove(folder.at("data/topics.txt"));
    fs::remove(folder.at("data/choice/values.txt"));
    ASSERT_EQ(mkfifo(folder.at("data/topics.txt").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(folder.at("data/choice/values.txt").c_str(), 0600), 0);
    const std::string notRegular = "is not a regular file (a FIFO, a device or a socket)";
    const Outcome checked = check(data, folder);
    EXPECT_EQ(checked.signal, 0);
    EXPECT_EQ(checked.status, 1);
    const std::string topics = folder.at("data/topics.txt") + ": " + notRegular;
    const std::string values = folder.at("data/choice/values.txt") + ": " + notRegular;
    expectHas(checked.out, {topics, values});
    // A script may come through a pipe, but an endless one is cut off.
    const Outcome endless =
        qxhostProcess(qxtest::runArguments(data, "/dev/zero", folder.at("out")), folder);
    EXPECT_EQ(endless.status, 1);
    EXPECT_EQ(endless.err, "qxhost: script /dev/zero is more than the 16 MB a script may hold\n");
    const Outcome run = runScript(data, "wait 50\n", folder);
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.status, 0) << run.err;
    expectHas(run.err, {"qxhost: " + topics, "qxhost: " + values});
}

// 2,000 doors took 90 s to set up, every lookup walking the whole values file: 10,000 values
// now set up at once, and each door still gets its own values.
TEST(HostileContent, TenThousandValuesSetUpAndReadRight) {
    qxtest::TempFolder folder;
    const std::string data = copyDemo(folder);
    {
        std::ofstream values(folder.at("data/choice/values.txt"), std::ios::app);
        for (int door = 10; door <= 5000; ++door) {
            values << "porte" << door << " = " << door % 500 << "," << door % 300 << "\ntextcenter"
                   << door << " = " << door % 600 << ",300\n";
        }
    }
    const Outcome checked = check(data, folder);
    EXPECT_EQ(checked.signal, 0);
    EXPECT_EQ(checked.status, 1);
    expectHas(checked.out,
              {"porte11: door 11 has no portemap entry",
               "porte12: the screen holds at most 11 doors",
               "porte5000: the screen holds at most 11 doors; door 5000 is not set up"});
    const Outcome run = runScript(data,
                                  "wait 1800\ndrag 58 428 152 242 400\nwait 900\n"
                                  "drag 104 428 264 230 400\nwait 900\nclick 60 24\nwait 800\n",
                                  folder);
    EXPECT_EQ(run.signal, 0);
    ASSERT_EQ(run.status, 0) << run.err;
    expectHas(run.out,
              {"door 1 (word 13): History [hist]\n", "door 2 (word 14): Geography [geo]\n"});
}

// A title of 20 MB took 0.35 s a frame, and 100 titles of 10 KB 8.8 s for a short session:
// measuring and drawing a title now costs what the screen shows of it.
TEST(HostileContent, LongTitlesPlayAtTheFramesPace) {
    qxtest::TempFolder folder;
    const std::string data = copyDemo(folder);
    const std::string demoTopics = readFile(folder.at("data/topics.txt"));
    std::ofstream(folder.at("data/topics.txt"))
        << "huge | 0 | " << std::string(20u << 20, 'W') << "\n"
        << demoTopics;
    // The title under the pointer (drawn bold), then scrolled along.
    const Outcome huge =
        runScript(data, "move 200 440\nwait 300\nclick 610 440\nwait 500\nshot scrolled\n", folder);
    EXPECT_EQ(huge.signal, 0);
    EXPECT_EQ(huge.status, 0) << huge.err;
    EXPECT_NE(huge.out.find("Ran 52 frames"), std::string::npos) << huge.out.substr(0, 300);

    std::ofstream titles(folder.at("data/topics.txt"));
    for (int i = 0; i < 100; ++i) {
        titles << "t" << i << " | 0 | ";
        for (int n = 0; n < 1000; ++n) {
            titles << "Title " << i << " ";
        }
        titles << "\n";
    }
    titles.close();
    const Outcome many = runScript(data,
                                   "wait 1800\ndrag 58 428 152 242 400\nwait 900\nclick 610 440\n"
                                   "wait 500\nclick 60 24\nwait 800\n",
                                   folder);
    EXPECT_EQ(many.signal, 0);
    EXPECT_EQ(many.status, 0) << many.err;
    EXPECT_NE(many.out.find("door 1 (word 13): Title 0 Title 0 Title 0"), std::string::npos)
        << many.out.substr(0, 300);
}

// Files far over the host's limits are refused by their size, without being read: sparse
// files of 300 MB cost nothing to make.
TEST(HostileContent, FilesOverTheLimitsAreNamedWithTheLimit) {
    qxtest::TempFolder folder;
    const std::string data = copyDemo(folder);
    fs::resize_file(folder.at("data/topics.txt"), 300u << 20);
    fs::resize_file(folder.at("data/choice/pt2.png"), 100u << 20);
    const Outcome checked = check(data, folder);
    EXPECT_EQ(checked.signal, 0);
    EXPECT_EQ(checked.status, 1);
    expectHas(
        checked.out,
        {folder.at("data/topics.txt") + ": is 300 MB, more than the 64 MB the host reads",
         folder.at("data/choice/pt2.png") + ": is 100 MB, more than the 64 MB the host reads"});
}

// Many shots: each is written as it is taken, and a sheet holds 60 of them.
TEST(HostileContent, ManyShotsGoToFilesAndSeveralSheets) {
    qxtest::TempFolder folder;
    std::string script = "wait 20\n";
    for (int i = 0; i < kSheetShots + 1; ++i) {
        script += "shot s" + std::to_string(i) + "\n";
    }
    const Outcome run = runScript(qxtest::demoData(), script, folder);
    EXPECT_EQ(run.signal, 0);
    ASSERT_EQ(run.status, 0) << run.err;
    expectHas(run.out, {"Wrote to " + folder.at("out") +
                        ": 61 screenshots, 2 contact sheets (contact-sheet*.png), log.txt"});
    for (const char* file : {"s0.png", "s60.png", "contact-sheet.png", "contact-sheet-2.png"}) {
        EXPECT_TRUE(fs::is_regular_file(folder.at(std::string("out/") + file))) << file;
    }
}

// Outputs that cannot be written are named one by one and not claimed.
TEST(HostileContent, OutputsThatCannotBeWrittenAreNamedAndNotClaimed) {
    qxtest::TempFolder folder;
    // Folders where the files should go: writing them fails even for root.
    fs::create_directories(folder.at("out/log.txt"));
    fs::create_directories(folder.at("out/first.png"));
    const Outcome run = runScript(qxtest::demoData(), "wait 20\nshot first\nshot second\n", folder,
                                  {"--animation", folder.at("out/log.txt/a.webp/x")});
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.status, 1);
    expectHas(run.out, {"Wrote to " + folder.at("out") +
                        ": 1 screenshot, contact-sheet.png, gamestate.json, report.html\n"});
    expectHas(run.err,
              {"qxhost: cannot write " + folder.at("out/first.png") + ": ",
               "qxhost: cannot write " + folder.at("out/log.txt") + "\n",
               "qxhost: animation " + folder.at("out/log.txt/a.webp/x") + ": cannot write ",
               "qxhost: 3 output files could not be written\n"});
    EXPECT_EQ(run.out.find("Animation:"), std::string::npos);
}

// Bytes from the data reach the terminal escaped and the JSON as valid UTF-8: a title in
// Latin-1 and an escape sequence that would retitle the terminal.
TEST(HostileContent, DataBytesAreEscapedOnTheTerminalAndInTheJson) {
    qxtest::TempFolder folder;
    const std::string data = copyDemo(folder);
    const std::string title = "Caf\xE9 \x1B]0;owned\x07";
    std::ofstream(folder.at("data/topics.txt")) << "hist | 0 | " << title << "\n";
    qxtest::replaceLine(folder.at("data/choice/values.txt"), "showframes", "showframes = \x1B[2J");
    const Outcome run =
        runScript(data, "wait 1800\ndrag 320 428 152 242 400\nwait 900\nclick 60 24\n", folder);
    ASSERT_EQ(run.status, 0) << run.err;
    expectHas(run.out, {"door 1 (word 13): Caf\\xE9 \\x1B]0;owned\\x07 [hist]"});
    const std::string json = readFile(folder.at("out/gamestate.json"));
    expectHas(json, {R"("title": "Caf\u00e9 \u001b]0;owned\u0007")"});
    for (const std::string& text : {json, run.out}) {
        for (std::size_t at = 0; at < text.size();
             at += std::max<std::size_t>(1, qxhost::app::utf8Length(text, at))) {
            const auto c = static_cast<unsigned char>(text[at]);
            EXPECT_TRUE(qxhost::app::utf8Length(text, at) > 0 && (c == '\n' || c >= 0x20))
                << "byte " << at << " of " << text;
        }
    }

    // A picture's "frames" text, echoed by check's warning.
    mediatest::PngPicture mark{40, 60, PNG_COLOR_TYPE_RGBA, 8, std::vector<std::uint8_t>(9600)};
    mark.texts = {{"frames", "\x1B]0;owned\x07"}};
    qxtest::writePng(folder.at("data/choice/qmark.png"), mark);
    const Outcome checked = check(data, folder);
    expectHas(checked.out, {"showframes: \"\\x1B[2J\" is neither 0 nor 1",
                            "qmark.png: text \"frames\" is \"\\x1B]0;owned\\x07\""});
    EXPECT_EQ(checked.out.find('\x1B'), std::string::npos);
    const Outcome script = runScript(data, "\x1B]0;owned\x07 1\n", folder);
    EXPECT_EQ(script.status, 1);
    expectHas(script.err, {"unknown command \"\\x1B]0;owned\\x07\""});
    EXPECT_EQ(script.err.find('\x1B'), std::string::npos);
}

} // namespace
