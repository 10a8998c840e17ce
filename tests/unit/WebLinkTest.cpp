#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <cerrno>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "modules/CK_DSP_OS_Command.h"
#include "platform/UrlLauncher.h"
#include "platform/UrlLauncherSystem.h"
#include "shell/CK_DSP_VST.h"
#include "support/TestGraph.h"
#include "support/TestModules.h"

namespace {

struct CountingLauncher : CK_UrlLauncher {
    void requestOpen(const char* url) override { urls.emplace_back(url); }
    std::vector<std::string> urls;
};

struct WebLinkTest : ::testing::Test {
    CK_ModuleOwner owner;
    CountingLauncher launcher;
    CK_DSP_OS_Command* link = nullptr;

    void SetUp() override
    {
        link = new CK_DSP_OS_Command(&owner);
        owner.addModule(link);
        link->setLauncher(&launcher);
        link->prepare();
    }
    // The web-link button (parameter 96, 0..1) as the effect delivers it on input pin 0.
    void button(float volts)
    {
        link->postEvent(owner.clock + 5, 0, 0, roundedValue(volts), volts, nullptr);
        owner.runModules(0, 64);
        owner.clock += 64;
    }
};

TEST_F(WebLinkTest, EachPressOpensThePageOnceAndReleasesOpenNothing)
{
    button(0.1f);
    ASSERT_EQ(launcher.urls.size(), 1u);
    EXPECT_EQ(launcher.urls[0], "https://brelvik-audio.example/suite");
    EXPECT_TRUE(link->flags & CK_ModuleBase::kFlagResting); // never leaves rest, never has audio
    for (int pin = 0; pin < CK_ModuleBase::kMaxPins; ++pin)
        ASSERT_EQ(link->outputs[pin], nullptr);
    button(0.0f);
    EXPECT_EQ(launcher.urls.size(), 1u);
    EXPECT_TRUE(link->flags & CK_ModuleBase::kFlagResting);
    button(0.1f);
    button(0.0f);
    EXPECT_EQ(launcher.urls.size(), 2u);

    // A value that stays pressed (repeated by a host or a second control) is one press.
    button(0.1f);
    button(0.1f);
    EXPECT_EQ(launcher.urls.size(), 3u);
}

TEST_F(WebLinkTest, ValuesAnnouncedAfterAGraphBuildOpenNothing)
{
    owner.graphRebuilt = -1; // the effect pushes every parameter's value after a build
    button(0.1f);
    owner.graphRebuilt = 0;
    EXPECT_TRUE(launcher.urls.empty());
    button(0.1f); // still held: not a new press
    EXPECT_TRUE(launcher.urls.empty());
    button(0.0f);
    button(0.1f);
    EXPECT_EQ(launcher.urls.size(), 1u);
}

// The effect with only the audio input and the web-link module, which opens pages through a
// counting launcher.
class WebLinkEffect : public CK_DSP_VST {
public:
    WebLinkEffect() : CK_DSP_VST(nullptr)
    {
        table_ = makeGraphTable({{kIdHostAudioIn, {}}, {kIdWebLink, {{CK_DSP_OS_Command::kInWebLink, 0, kTagWebLink}}}});
        setGraphTable(table_.data());
        setBlockSize(64);
        resume();
        process(); // the values pushed after the build open nothing
    }
    CK_ModuleBase* makeModule(int32_t id) override
    {
        if (id == kIdHostAudioIn)
            return new TestAudioIn(this);
        auto* link = new CK_DSP_OS_Command(this);
        link->setLauncher(&launcher);
        return link;
    }
    void process()
    {
        float in[2][64] = {}, out[2][64] = {};
        float* ins[2] = {in[0], in[1]};
        float* outs[2] = {out[0], out[1]};
        processReplacing(ins, outs, 64);
    }
    CountingLauncher launcher;

private:
    std::vector<uint8_t> table_;
};

TEST(WebLinkEffectTest, AClickBetweenTwoProcessingCallsOpensThePageOnce)
{
    WebLinkEffect fx;
    // Editor and host paths: press and release both land before the audio thread looks.
    fx.setParameterAutomated(kTagWebLink, 1.0f);
    fx.setParameterAutomated(kTagWebLink, 0.0f);
    fx.process();
    EXPECT_EQ(fx.launcher.urls.size(), 1u);
    fx.setParameterFromEditor(kTagWebLink, 0.1f, true);
    fx.setParameterFromEditor(kTagWebLink, 0.0f, true);
    fx.process();
    fx.process();
    EXPECT_EQ(fx.launcher.urls.size(), 2u);
    // A press seen on its own, then its release: still one page.
    fx.setParameterAutomated(kTagWebLink, 1.0f);
    fx.process();
    fx.setParameterAutomated(kTagWebLink, 0.0f);
    fx.process();
    EXPECT_EQ(fx.launcher.urls.size(), 3u);
}

std::atomic<int> openedCount{0};
std::atomic<const char*> openedUrl{nullptr};
std::atomic<bool> openedOnCaller{false};
std::thread::id callerThread;

void countOpen(const char* url)
{
    openedUrl.store(url);
    openedOnCaller.store(std::this_thread::get_id() == callerThread);
    openedCount.fetch_add(1);
}

bool waitFor(int count)
{
    for (int i = 0; i < 400 && openedCount.load() < count; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return openedCount.load() >= count;
}

TEST(SystemUrlLauncherTest, RequestsReachTheOpenerOnItsOwnThread)
{
    openedCount = 0;
    callerThread = std::this_thread::get_id();
    CK_SystemUrlLauncher launcher(&countOpen);
    static const char kPage[] = "https://brelvik-audio.example/suite";

    launcher.requestOpen(kPage);
    ASSERT_TRUE(waitFor(1));
    EXPECT_EQ(openedUrl.load(), kPage);
    EXPECT_FALSE(openedOnCaller.load());

    // A burst of requests opens the page at least once and never more often than asked.
    for (int i = 0; i < 5; ++i)
        launcher.requestOpen(kPage);
    ASSERT_TRUE(waitFor(2));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_LE(openedCount.load(), 6);
    launcher.requestOpen(nullptr);
}

TEST(SystemUrlLauncherTest, StopsPromptlyWithARequestPending)
{
    const auto begin = std::chrono::steady_clock::now();
    for (int i = 0; i < 20; ++i) {
        CK_SystemUrlLauncher launcher(&countOpen);
        launcher.requestOpen("x");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(2));
}

#ifndef _WIN32
// The real opener, with a stand-in xdg-open first on the PATH that records its argument.
TEST(SystemUrlLauncherTest, StartsXdgOpenDetachedWithTheAddressAsOneArgument)
{
    char dir[] = "/tmp/brelvik-open-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string script = std::string(dir) + "/xdg-open";
    const std::string opened = std::string(dir) + "/opened";
    {
        std::ofstream f(script);
        f << "#!/bin/sh\nprintf '%s' \"$1\" > '" << opened << ".tmp' && mv '" << opened << ".tmp' '" << opened
          << "'\n";
    }
    ASSERT_EQ(chmod(script.c_str(), 0755), 0);
    const char* path = std::getenv("PATH");
    const std::string savedPath = path ? path : "";
    setenv("PATH", (std::string(dir) + ":" + savedPath).c_str(), 1);

    static const char kTricky[] = "https://brelvik-audio.example/suite?a=1&b='x' $HOME;true";
    CK_SystemUrlLauncher::openInDefaultBrowser(kTricky);
    setenv("PATH", savedPath.c_str(), 1);

    std::string received;
    for (int i = 0; i < 400 && received.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::ifstream in(opened);
        std::stringstream text;
        text << in.rdbuf();
        received = text.str();
    }
    EXPECT_EQ(received, kTricky);
    // The shell it went through has been collected and the opener is not our child: no zombie.
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);

    unlink(opened.c_str());
    unlink(script.c_str());
    rmdir(dir);
}
#endif

} // namespace
