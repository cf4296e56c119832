// The whole program on the simulated platform: start-up, simulated seconds of
// playing with the real audio thread, keys, every exit path.
#include "host/program.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

#include "host/frame_scheduler.hpp"
#include "host/main_window.hpp"
#include "sim_fixture.hpp"

namespace korvale {
namespace {

namespace sim = platform::sim;
using korvale::testing::Once;
using korvale::testing::SimTest;

constexpr double counterPerSecond = 10000000.0;  // the simulated counter's default frequency

struct ProgramTest : SimTest {
    std::unique_ptr<std::optional<ProgramState>> state = std::make_unique<std::optional<ProgramState>>();

    // Runs the program; `script` sees the simulated time in seconds at every
    // sleep of the main loop. A program still running after a simulated
    // minute is stopped with Esc and the test fails.
    int run(std::function<void(double)> script, const AssetImage& image = AssetImage::embedded()) {
        sim::setIdleHook([script = std::move(script)](std::int64_t counter) {
            const double seconds = static_cast<double>(counter) / counterPerSecond;
            if (seconds > 60.0) {
                ADD_FAILURE() << "the program did not end";
                sim::postKeyDown(platform::keyEscape);
                return;
            }
            script(seconds);
        });
        return korvaleMain(*state, nullptr, image);
    }
    // The end-of-program actions.
    void endProgram() { state->reset(); }

    VgaState& vga() { return (*state)->vga; }
    AudioOutput& audio() { return (*state)->audio; }

    void expectOneBox(const char* text, bool deviceOpenAtBox) {
        const sim::Snapshot s = sim::snapshot();
        ASSERT_EQ(s.messageBoxes.size(), 1u);
        EXPECT_EQ(s.messageBoxes[0].text, text);
        EXPECT_EQ(s.messageBoxes[0].caption, "Korvale");
        EXPECT_EQ(s.messageBoxes[0].icon, platform::MessageBoxIcon::error);
        EXPECT_EQ(s.messageBoxes[0].deviceOpen, deviceOpenAtBox);
        EXPECT_EQ(s.messageBoxes[0].threadRunning, deviceOpenAtBox);
    }
    void expectEverythingReleased() {
        const sim::Snapshot s = sim::snapshot();
        EXPECT_FALSE(s.deviceOpen);
        EXPECT_EQ(s.liveThreads, 0);
        EXPECT_EQ(s.liveEvents, 0);
        EXPECT_EQ(s.preparedHeaders, 0u);
        EXPECT_EQ(s.timerResolutionDepth, 0);
        EXPECT_EQ(s.misuses, 0u);
    }
};

TEST_F(ProgramTest, PlaysInStepWithTheDeviceMutesAndEndsWithEsc) {
    Once muteOn, muteOff, escape, sampleMuted, sampleMutedEnd;
    sim::Snapshot beforeMute{}, mutedFrom{}, mutedTo{};
    std::uint64_t ticksAtOneSecond = 0;
    bool mutedAfterFirstPress = false;
    const int exitCode = run([&](double t) {
        if (muteOn.at(t, 1.0)) {
            beforeMute = sim::snapshot();
            ticksAtOneSecond = vga().scene.tickCount;
            sim::postKeyDown(platform::keyM);
        }
        if (sampleMuted.at(t, 1.5)) {
            mutedAfterFirstPress = audio().player.muted.load();
            mutedFrom = sim::snapshot();
        }
        if (sampleMutedEnd.at(t, 2.5)) {
            mutedTo = sim::snapshot();
        }
        if (muteOff.at(t, 2.5)) {
            sim::postKeyDown(platform::keyM);
        }
        if (escape.at(t, 4.0)) {
            sim::postKeyDown(platform::keyEscape);
        }
    });
    EXPECT_EQ(exitCode, 0);
    const sim::Snapshot end = sim::snapshot();
    EXPECT_TRUE(end.messageBoxes.empty());
    EXPECT_TRUE(end.dpiAware);
    EXPECT_EQ(end.windowTitle, "Korvale by Glimmerwake | M mute | Esc exit");
    EXPECT_EQ(end.requestedClientWidth, 960);
    EXPECT_EQ(end.requestedClientHeight, 720);
    EXPECT_TRUE(end.iconsSet);
    EXPECT_TRUE(end.windowMaximised);
    EXPECT_FALSE(end.windowExists);
    EXPECT_EQ(end.timerResolutionBegins, 1u);
    expectEverythingReleased();  // closed before the program returned

    // The scene ran every tick the device played, and about 35 a second.
    EXPECT_GT(ticksAtOneSecond, 25u);
    const std::uint64_t ticks = vga().scene.tickCount;
    EXPECT_GE(ticks, 130u);
    EXPECT_LE(ticks, FrameScheduler::dueTick(end.framesPlayed));
    EXPECT_GE(ticks + 16, FrameScheduler::dueTick(end.framesPlayed));
    EXPECT_GT(end.paints, 200u);

    // The window shows the picture: 1280 x 960 is exactly 4:3.
    std::uint64_t lit = 0;
    for (std::uint32_t pixel : end.windowPixels) {
        lit += pixel != 0 ? 1 : 0;
    }
    EXPECT_GT(lit, end.windowPixels.size() / 4);

    // Music before M, only silence once the queued buffers have played out,
    // music again after the second M.
    EXPECT_LT(beforeMute.silentFramesPlayed, beforeMute.framesPlayed / 2);
    EXPECT_TRUE(mutedAfterFirstPress);
    EXPECT_GT(mutedTo.framesPlayed - mutedFrom.framesPlayed, 40000u);
    EXPECT_EQ(mutedTo.silentFramesPlayed - mutedFrom.silentFramesPlayed, mutedTo.framesPlayed - mutedFrom.framesPlayed);
    EXPECT_LT(end.silentFramesPlayed - mutedTo.silentFramesPlayed, (end.framesPlayed - mutedTo.framesPlayed) / 2);
    EXPECT_FALSE(audio().player.muted.load());

    endProgram();  // presenter release and the second close find nothing left
    const sim::Snapshot after = sim::snapshot();
    EXPECT_EQ(after.deviceCloses, 1u);
    EXPECT_EQ(after.liveMemoryContexts, 0);
    EXPECT_EQ(after.liveBitmaps, 0);
}

TEST_F(ProgramTest, EveryWayOfClosingTheWindowEndsWithCodeZero) {
    const std::function<void()> closers[] = {
        [] { sim::postKeyDown(platform::keyEscape); },
        [] { sim::postCloseRequest(); },  // close box, system menu, Alt+F4
    };
    for (const auto& close : closers) {
        sim::reset();
        state = std::make_unique<std::optional<ProgramState>>();
        Once once;
        EXPECT_EQ(run([&](double t) {
                      if (once.at(t, 0.5)) close();
                  }),
                  0);
        EXPECT_TRUE(sim::snapshot().messageBoxes.empty());
        expectEverythingReleased();
        EXPECT_EQ(sim::snapshot().liveMemoryContexts, 0) << "released when the window was destroyed";
    }
}

TEST_F(ProgramTest, AQuitMessageDoesNotEndTheLoopWhileTheWindowExists) {
    Once quit, escape;
    double endedAt = 0.0;
    EXPECT_EQ(run([&](double t) {
                  endedAt = t;
                  if (quit.at(t, 0.3)) sim::postQuit(0);
                  if (escape.at(t, 1.0)) sim::postKeyDown(platform::keyEscape);
              }),
              0);
    EXPECT_GE(endedAt, 1.0);
    EXPECT_GE(sim::snapshot().quitMessages, 2u);  // ours, then the one from the window's end
}

TEST_F(ProgramTest, KeysOtherThanMAndEscAndKeyReleasesChangeNothing) {
    Once keys, escape;
    bool mutedAfterKeys = true;
    EXPECT_EQ(run([&](double t) {
                  if (keys.at(t, 0.2)) {
                      sim::postKeyUp(platform::keyM);
                      sim::postKeyUp(platform::keyEscape);
                      sim::postKeyDown(78);
                      sim::postKeyDown(32);
                  }
                  if (escape.at(t, 0.5)) {
                      mutedAfterKeys = audio().player.muted.load();
                      sim::postKeyDown(platform::keyEscape);
                  }
              }),
              0);
    EXPECT_FALSE(mutedAfterKeys);
}

TEST_F(ProgramTest, WindowProcedureAnswersEachMessage) {
    state->emplace(AssetImage::embedded());
    platform::Window window = createMainWindow(nullptr, **state);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(sim::snapshot().windowVisible);

    using platform::MessageKind;
    EXPECT_EQ(sim::sendToWindow({MessageKind::eraseBackground, 0, {}}), 1);
    EXPECT_EQ(sim::sendToWindow({MessageKind::keyDown, platform::keyM, {}}), 0);
    EXPECT_TRUE(audio().player.muted.load());
    // Held down: the repeats toggle too.
    sim::sendToWindow({MessageKind::keyDown, platform::keyM, {}});
    sim::sendToWindow({MessageKind::keyDown, platform::keyM, {}});
    EXPECT_TRUE(audio().player.muted.load());
    sim::sendToWindow({MessageKind::keyDown, platform::keyM, {}});
    EXPECT_FALSE(audio().player.muted.load());

    platform::showWindowMaximised(window);
    while (platform::pumpMessage()) {
    }
    EXPECT_EQ((*state)->presenter.width(), 1280);

    // A resize only marks the window; the next paint uses the new size.
    const std::uint32_t paints = sim::snapshot().paints;
    sim::resizeClient(1000, 1000);
    EXPECT_EQ(sim::snapshot().paints, paints);
    EXPECT_TRUE(platform::pumpMessage());
    EXPECT_EQ(sim::snapshot().paints, paints + 1);
    EXPECT_EQ((*state)->presenter.width(), 1000);
    EXPECT_EQ((*state)->presenter.height(), 1000);

    EXPECT_EQ(sim::sendToWindow({MessageKind::keyDown, platform::keyEscape, {}}), 0);
    EXPECT_FALSE(sim::snapshot().windowExists);
    EXPECT_FALSE((*state)->running);
    EXPECT_FALSE((*state)->presenter.hasBackBuffer());
}

TEST_F(ProgramTest, StartUpFailuresExitWithCodeOne) {
    const struct {
        sim::Operation operation;
        std::uint32_t successes;
        const char* box;  // null: no message
    } rows[] = {
        {sim::Operation::registerWindowClass, 0, nullptr},
        {sim::Operation::createWindow, 0, nullptr},
        {sim::Operation::createEvent, 0, audioStartFailedText},
        {sim::Operation::createEvent, 1, audioStartFailedText},
        {sim::Operation::openWaveOutput, 0, audioStartFailedText},
        {sim::Operation::startThread, 0, audioStartFailedText},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << static_cast<int>(row.operation) << " after " << row.successes);
        sim::reset();
        state = std::make_unique<std::optional<ProgramState>>();
        sim::failAfter(row.operation, row.successes);
        EXPECT_EQ(run([](double) {}), 1);
        const sim::Snapshot s = sim::snapshot();
        EXPECT_FALSE(s.windowVisible);
        EXPECT_FALSE(s.windowExists);
        if (row.box == nullptr) {
            EXPECT_TRUE(s.messageBoxes.empty());
            EXPECT_EQ(s.deviceOpens, 0u);
        } else {
            expectOneBox(row.box, false);  // closed before the box
            EXPECT_TRUE(s.messageBoxes[0].ownerExists);
        }
        expectEverythingReleased();
        EXPECT_EQ(s.timerResolutionBegins, 0u);
        endProgram();
        EXPECT_EQ(sim::snapshot().misuses, 0u);
    }
}

TEST_F(ProgramTest, AudioThreadFailuresAreShownByTheNextPass) {
    const struct {
        sim::Operation operation;
        std::uint32_t successes;
        const char* text;
    } rows[] = {
        {sim::Operation::pauseWaveOutput, 0, "Audio pause failed"},
        {sim::Operation::prepareWaveHeader, 5, "Audio header preparation failed"},
        {sim::Operation::writeWaveOutput, 3, "Audio queue failed"},
        {sim::Operation::restartWaveOutput, 0, "Audio start failed"},
        {sim::Operation::writeWaveOutput, 20, "Audio queue failed"},
        {sim::Operation::waitForAnyEvent, 10, "Audio event wait failed"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        sim::reset();
        state = std::make_unique<std::optional<ProgramState>>();
        sim::failAfter(row.operation, row.successes);
        EXPECT_EQ(run([](double) {}), 1);
        expectOneBox(row.text, true);  // the sound stops after the box
        EXPECT_TRUE(sim::snapshot().windowExists) << "the window ends with the process";
        expectEverythingReleased();
        endProgram();
        EXPECT_EQ(sim::snapshot().liveMemoryContexts, 0);
        EXPECT_EQ(sim::snapshot().deviceCloses, 1u);
    }
}

TEST_F(ProgramTest, PresenterFailureIsShownByTheNextPass) {
    Once fail;
    EXPECT_EQ(run([&](double t) {
                  if (fail.at(t, 0.5)) sim::failAfter(sim::Operation::copyPixels, 0);
              }),
              1);
    expectOneBox(backBufferFailedText, true);
    expectEverythingReleased();
}

TEST_F(ProgramTest, PresenterFailureWinsOverAnAudioFailureInTheSamePass) {
    Once both;
    EXPECT_EQ(run([&](double t) {
                  if (both.at(t, 0.2)) {
                      // The next refill fails.
                      sim::failAfter(sim::Operation::writeWaveOutput, 0);
                      sim::playDevice(1024);
                      ASSERT_TRUE(korvale::testing::eventually(
                          [&] { return audio().failed.load(std::memory_order_acquire); }));
                      // The next pass delivers the repaint this resize asks for.
                      sim::failAfter(sim::Operation::fillBlack, 0);
                      sim::resizeClient(800, 600);
                  }
              }),
              1);
    expectOneBox(backBufferFailedText, true);
}

TEST_F(ProgramTest, PositionInBytesCountsQuarterFramesAndOtherAnswersRunNoTicks) {
    sim::setPositionUnit(platform::PositionUnit::bytes);
    Once escape;
    EXPECT_EQ(run([&](double t) {
                  if (escape.at(t, 1.0)) sim::postKeyDown(platform::keyEscape);
              }),
              0);
    const std::uint64_t bytesTicks = vga().scene.tickCount;
    EXPECT_GE(bytesTicks + 16, FrameScheduler::dueTick(sim::snapshot().framesPlayed));
    EXPECT_GT(bytesTicks, 20u);

    const std::function<void()> unusableAnswers[] = {
        [] { sim::failAfter(sim::Operation::waveOutputPosition, 0); },
        [] { sim::setPositionUnit(platform::PositionUnit::other); },
    };
    for (const auto& unusable : unusableAnswers) {
        sim::reset();
        state = std::make_unique<std::optional<ProgramState>>();
        unusable();
        Once stop;
        EXPECT_EQ(run([&](double t) {
                      if (stop.at(t, 1.0)) sim::postKeyDown(platform::keyEscape);
                  }),
                  0);
        EXPECT_EQ(vga().scene.tickCount, 0u);
        EXPECT_GT(sim::snapshot().paints, 50u) << "presentation goes on without the position";
    }
}

TEST_F(ProgramTest, FailureDuringSetUpIsShownAndExitsWithCodeOne) {
    AssetImageBuffer broken;  // no valid instrument
    EXPECT_EQ(run([](double) {}, broken.image()), 1);
    const sim::Snapshot s = sim::snapshot();
    ASSERT_EQ(s.messageBoxes.size(), 1u);
    EXPECT_EQ(s.messageBoxes[0].text, "Invalid sample bounds");
    EXPECT_EQ(s.messageBoxes[0].caption, "Korvale");
    EXPECT_FALSE(state->has_value());
    EXPECT_FALSE(s.classRegistered);
}

}  // namespace
}  // namespace korvale
