#include "client/model/clientsession.h"
#include "client/model/handstate.h"
#include "client/model/tablestate.h"
#include "client/table/soundplayer.h"
#include "client/table/tableview.h"
#include "resources/artwork.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVector>
#include <QWidget>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <optional>

namespace {

constexpr int kRate = 44100;
// Quieter than this counts as silence.
constexpr int kSilence = 200;

// First to last audible sample of a run of 16-bit samples, in samples.
std::optional<int> audibleSpan(const QVector<qint16> &samples)
{
    int first = -1;
    int last = -1;
    for (int i = 0; i < samples.size(); ++i) {
        if (std::abs(samples[i]) > kSilence) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first < 0)
        return std::nullopt;
    return last - first;
}

// The audible length of one of the game's own wave files.
int waveSpan(const QString &name)
{
    const QByteArray wave = artwork::sound(name);
    const qsizetype data = wave.indexOf("data");
    QVector<qint16> samples;
    for (qsizetype i = data + 8; i + 1 < wave.size(); i += 2)
        samples.append(qint16(quint8(wave[i]) | (quint8(wave[i + 1]) << 8)));
    return audibleSpan(samples).value_or(0);
}

// A private PulseAudio server whose only output is a pipe this test reads:
// what the game plays arrives here as 16-bit mono samples at 44100 Hz, in
// real time.
class PipeSink
{
public:
    bool start()
    {
        const QString pulseaudio = QStandardPaths::findExecutable("pulseaudio");
        if (pulseaudio.isEmpty() || !dir_.isValid())
            return false;
        const QString fifo = dir_.filePath("out");
        const QString socket = dir_.filePath("native");
        if (::mkfifo(fifo.toLocal8Bit().constData(), 0600) != 0)
            return false;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *folder : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME"})
            environment.insert(folder, dir_.path());
        server_.setProcessEnvironment(environment);
        server_.start(pulseaudio,
                      {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                       "--log-level=error", "-F", "/dev/null",
                       "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket,
                       "--load=module-pipe-sink sink_name=pipe format=s16le rate=44100 "
                       "channels=1 use_system_clock_for_timing=yes file=" +
                           fifo});
        if (!server_.waitForStarted())
            return false;
        fd_ = ::open(fifo.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK);
        if (fd_ < 0 || !waitUntil([&] { return QFile::exists(socket); }, 10000))
            return false;
        // The game's process talks to this server from now on.
        qputenv("PULSE_SERVER", ("unix:" + socket).toLocal8Bit());
        return true;
    }

    ~PipeSink()
    {
        if (fd_ >= 0)
            ::close(fd_);
        server_.kill();
        server_.waitForFinished();
    }

    // Everything that came out since the last call.
    QVector<qint16> take()
    {
        QVector<qint16> samples;
        qint16 buffer[4096];
        for (;;) {
            const ssize_t got = ::read(fd_, buffer, sizeof buffer);
            if (got <= 0)
                break;
            samples.append(QVector<qint16>(buffer, buffer + got / 2));
        }
        return samples;
    }

    // Records until something audible has come out and then `quiet`
    // samples of silence, or until `total` samples have come out when
    // nothing is to be expected.
    QVector<qint16> record(int quiet, int total, int deadlineMs)
    {
        QVector<qint16> samples;
        waitUntil(
            [&] {
                samples += take();
                const std::optional<int> span = audibleSpan(samples);
                if (!span)
                    return total > 0 && samples.size() >= total;
                int lastAudible = samples.size() - 1;
                while (lastAudible >= 0 && std::abs(samples[lastAudible]) <= kSilence)
                    --lastAudible;
                return samples.size() - 1 - lastAudible >= quiet;
            },
            deadlineMs);
        return samples;
    }

private:
    QTemporaryDir dir_;
    QProcess server_;
    int fd_ = -1;
};

// The table wired to a sound player as the main window wires them, playing
// into a pipe: what the user would hear is checked sample by sample.
class TableSounds : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        sink = new PipeSink;
        if (!sink->start()) {
            delete sink;
            sink = nullptr;
        }
    }
    static void TearDownTestSuite()
    {
        delete sink;
        sink = nullptr;
    }

    void SetUp() override
    {
        if (!sink)
            GTEST_SKIP() << "PulseAudio with a pipe sink is not available";
        board.resize(697, 474);
        session.ownSlot = 1;
        session.loggedIn = true;
        state = std::make_unique<TableState>(&session);
        hand = std::make_unique<HandState>(state.get());
        table = std::make_unique<TableView>(&board, &session, state.get(), hand.get());
        player = std::make_unique<SoundPlayer>();
        QObject::connect(table.get(), &TableView::playsounds, player.get(),
                         &SoundPlayer::playsounds);
        state->newplayerinfo(1, "Ann");
        // Whatever the sink said before belongs to no one.
        sink->take();
    }

    static constexpr int kQuiet = kRate / 2;
    static constexpr int kDeadlineMs = 30000;
    static inline PipeSink *sink = nullptr;

    QWidget board;
    ClientSession session;
    std::unique_ptr<TableState> state;
    std::unique_ptr<HandState> hand;
    std::unique_ptr<TableView> table;
    std::unique_ptr<SoundPlayer> player;
};

TEST_F(TableSounds, TurnThenWinnerComeOutWhole)
{
    // Allow a twentieth either way for the start and end of a stream.
    const auto near = [](std::optional<int> heard, int made) {
        return heard && std::abs(*heard - made) <= made / 20 + kRate / 100;
    };
    state->getnextplayer(1);
    const std::optional<int> turn = audibleSpan(sink->record(kQuiet, 0, kDeadlineMs));
    EXPECT_TRUE(near(turn, waveSpan("turn"))) << turn.value_or(-1) << " samples";

    state->winner("Ann", 1);
    const std::optional<int> winner = audibleSpan(sink->record(kQuiet, 0, kDeadlineMs));
    EXPECT_TRUE(near(winner, waveSpan("winner"))) << winner.value_or(-1) << " samples";
    EXPECT_EQ(player->started(), 2);
}

TEST_F(TableSounds, ANewSoundCutsTheOneStillPlaying)
{
    state->winner("Ann", 1);
    QVector<qint16> heard;
    ASSERT_TRUE(waitUntil(
        [&] {
            heard += sink->take();
            return audibleSpan(heard).has_value();
        },
        kDeadlineMs));
    state->getnextplayer(1);
    heard += sink->record(kQuiet, 0, kDeadlineMs);
    const std::optional<int> span = audibleSpan(heard);
    ASSERT_TRUE(span);
    // The whole jingle would last 2.7 s; the cut leaves a part and the turn.
    EXPECT_LT(*span, waveSpan("winner") - kRate);
}

TEST_F(TableSounds, NothingComesOutWithPlaySoundsOff)
{
    player->setEnabled(false);
    state->getnextplayer(1);
    state->winner("Ann", 1);
    const QVector<qint16> heard = sink->record(kQuiet, 2 * kRate, kDeadlineMs);
    EXPECT_GE(heard.size(), 2 * kRate);
    EXPECT_FALSE(audibleSpan(heard).has_value());
    EXPECT_EQ(player->started(), 0);
}

} // namespace
