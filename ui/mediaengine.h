// The media player's engine: a QMediaPlayer with its audio output and its video window, as the
// media-player control drives them. It lives in a module of its own (liblxmedia.so), loaded by the
// first file the control opens: linked into the program, the multimedia libraries and the sound
// server's client (some twenty libraries) would be loaded and relocated by every start, also of
// the programs that play nothing. Only this header is shared with the module: the interface is
// abstract and its calls carry plain values, so the module needs nothing of the program.
#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

class QMediaPlayer;
class QObject;
class QVideoWidget;

class MediaEngine {
public:
    // The player's media status and playing state (QMediaPlayer's, in its order).
    enum class Status { NoMedia, Loading, Loaded, Stalled, Buffering, Buffered, EndOfMedia, Invalid };
    enum class State { Stopped, Playing, Paused };

    virtual ~MediaEngine() = default;

    // A new player for the next file, with the audio output (made once) and the video window, if
    // there is one; the one before stops and goes. The player's media-status changes and errors
    // come to `statusChanged` and `errorOccurred` until the next new player.
    virtual void NewPlayer(std::function<void(Status)> statusChanged,
                           std::function<void()> errorOccurred) = 0;
    // A local file to play; an empty name closes the player's source.
    virtual void SetSource(const QString& fileName) = 0;
    virtual Status MediaStatus() const = 0;
    virtual State PlaybackState() const = 0;
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;
    virtual qint64 Duration() const = 0;
    virtual void SetPosition(qint64 ms) = 0;
    // Shows the video window under `title` when the file has a picture; HideVideo hides it.
    virtual void ShowVideo(const QString& title) = 0;
    virtual void HideVideo() = 0;

    // The player and the video window, for the tests (null until made).
    virtual QMediaPlayer* Player() const = 0;
    virtual QVideoWidget* Display() const = 0;
};

// The module's one entry: an engine whose player and audio output are children of `owner`.
using MakeMediaEngineFunction = MediaEngine* (*)(QObject* owner);
inline constexpr char MakeMediaEngineName[] = "LxMakeMediaEngine";

// Loads the module (once; it stays loaded) and makes an engine for `owner`. Null, with a warning on
// stderr, when the module cannot be found or loaded.
std::unique_ptr<MediaEngine> LoadMediaEngine(QObject* owner);
