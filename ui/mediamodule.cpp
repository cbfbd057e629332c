// The media player's engine over Qt Multimedia, built as the module liblxmedia.so (see mediaengine.h).
#include "ui/mediaengine.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QObject>
#include <QUrl>
#include <QVideoWidget>

namespace {

constexpr int VideoWidth = 320;
constexpr int VideoHeight = 240;

class QtMediaEngine final : public MediaEngine {
public:
    explicit QtMediaEngine(QObject* owner) : owner_(owner) {}
    ~QtMediaEngine() override {
        if (player_ != nullptr) {
            player_->disconnect(owner_);
            player_->stop();
        }
        delete display_;
    }

    // Every file gets a player of its own: a player that failed on a file goes on reporting that
    // file's troubles for a while, which must not fall on the next one.
    void NewPlayer(std::function<void(Status)> statusChanged, std::function<void()> errorOccurred) override {
        if (player_ != nullptr) {
            player_->disconnect(owner_);
            player_->stop();
            player_->deleteLater();
        }
        if (output_ == nullptr) output_ = new QAudioOutput(owner_);
        player_ = new QMediaPlayer(owner_);
        player_->setAudioOutput(output_);
        if (display_ != nullptr) player_->setVideoOutput(display_);
        QObject::connect(player_, &QMediaPlayer::mediaStatusChanged, owner_,
                         [statusChanged = std::move(statusChanged)](QMediaPlayer::MediaStatus status) {
                             statusChanged(StatusOf(status));
                         });
        QObject::connect(player_, &QMediaPlayer::errorOccurred, owner_,
                         [errorOccurred = std::move(errorOccurred)] { errorOccurred(); });
        QObject::connect(player_, &QMediaPlayer::hasVideoChanged, owner_, [this](bool video) {
            if (video && display_ == nullptr) {
                display_ = new QVideoWidget; // a window of its own, as a classic player opens one
                display_->resize(VideoWidth, VideoHeight);
                player_->setVideoOutput(display_);
            }
        });
    }

    void SetSource(const QString& fileName) override {
        player_->setSource(fileName.isEmpty() ? QUrl() : QUrl::fromLocalFile(fileName));
    }
    Status MediaStatus() const override { return StatusOf(player_->mediaStatus()); }
    State PlaybackState() const override {
        switch (player_->playbackState()) {
        case QMediaPlayer::PlayingState: return State::Playing;
        case QMediaPlayer::PausedState: return State::Paused;
        default: return State::Stopped;
        }
    }
    void Play() override { player_->play(); }
    void Pause() override { player_->pause(); }
    void Stop() override { player_->stop(); }
    qint64 Duration() const override { return player_->duration(); }
    void SetPosition(qint64 ms) override { player_->setPosition(ms); }

    void ShowVideo(const QString& title) override {
        if (display_ == nullptr || !player_->hasVideo()) return;
        display_->setWindowTitle(title);
        display_->show();
        display_->raise();
    }
    void HideVideo() override {
        if (display_ != nullptr) display_->hide();
    }

    QMediaPlayer* Player() const override { return player_; }
    QVideoWidget* Display() const override { return display_; }

private:
    static Status StatusOf(QMediaPlayer::MediaStatus status) {
        switch (status) {
        case QMediaPlayer::NoMedia: return Status::NoMedia;
        case QMediaPlayer::LoadingMedia: return Status::Loading;
        case QMediaPlayer::LoadedMedia: return Status::Loaded;
        case QMediaPlayer::StalledMedia: return Status::Stalled;
        case QMediaPlayer::BufferingMedia: return Status::Buffering;
        case QMediaPlayer::BufferedMedia: return Status::Buffered;
        case QMediaPlayer::EndOfMedia: return Status::EndOfMedia;
        case QMediaPlayer::InvalidMedia: return Status::Invalid;
        }
        return Status::Invalid;
    }

    QObject* owner_;
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* output_ = nullptr;
    QVideoWidget* display_ = nullptr;
};

} // namespace

extern "C" Q_DECL_EXPORT MediaEngine* LxMakeMediaEngine(QObject* owner) {
    return new QtMediaEngine(owner);
}
