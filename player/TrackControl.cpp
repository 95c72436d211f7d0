// Starting tracks and noticing their end.
#include "platform/Log.h"
#include "platform/audio/SoundFile.h"
#include "player/AudioBridge.h"
#include "player/Demo.h"
#include "player/Playlist.h"

void TDemo::PlayTrack(int32_t index) {
  audio::IBackend& sound = *Audio;
  Playing = false;
  CurrentFile.clear();
  if (sound.ChannelIsActive(Stream) == AUDIO_ACTIVE_PLAYING) sound.ChannelStop(Stream);
  sound.StreamFree(Stream);
  Playlist->SetCurrent(index);
  if (index < 0 || index >= Playlist->Count()) return;
  CurrentFile = Playlist->TrackPaths[static_cast<size_t>(index)];
  Stream = sound.StreamCreateFile(CurrentFile, AUDIO_STREAM_AUTOFREE);
  if (Stream != 0) {
    Playlist->Unplayable.NoteSuccess();
  } else {
    if (Playlist->Unplayable.NoteFailure(CurrentFile)) {
      std::string reason;
      TSoundFile::Open(CurrentFile, &reason);
      LogLine("Cannot play " + CurrentFile + (reason.empty() ? std::string() : ": " + reason));
    }
    if (Playlist->Unplayable.WholePassFailed(Playlist->Count())) {
      // Nothing in the list plays: stop and show the main page rather than cycle through it.
      Playlist->Unplayable.StartOver();
      LogLine("Nothing in the playlist can be played; stopped");
      CurrentFile.clear();
      MenuPage = mpMain;
      Playlist->EnsureCurrentVisible();
      return;
    }
  }
  sound.ChannelSetAttribute(Stream, AUDIO_ATTRIB_VOL, static_cast<float>(Volume) / 10.0f);
  sound.ChannelPlay(Stream, false);
  // Also when the stream could not be made: the next frame's end check moves on.
  Playing = true;
  Playlist->EnsureCurrentVisible();
}

void TDemo::CheckTrackEnd() {
  // A self-freeing stream fails the length query once it has played to its end.
  if (Playing && Audio->ChannelGetLength(Stream, AUDIO_POS_BYTE) < 0) Playlist->NextTrack(1);
}
