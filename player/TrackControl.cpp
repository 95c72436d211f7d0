// Starting tracks, noticing their end, and adding files through the dialog.
#include "engine/device/zrnOpenGL.h"
#include "player/AudioBridge.h"
#include "player/Main.h"
#include "player/Playlist.h"

void TDemo::PlayTrack(int32_t index) {
  audio::IBackend& sound = audio::Backend();
  Playing = false;
  CurrentFile.clear();
  if (sound.ChannelIsActive(Stream) == AUDIO_ACTIVE_PLAYING) sound.ChannelStop(Stream);
  sound.StreamFree(Stream);
  Playlist->SetCurrent(index);
  if (index < 0 || index >= Playlist->Count()) return;
  CurrentFile = Playlist->TrackPaths[static_cast<size_t>(index)];
  Stream = sound.StreamCreateFile(CurrentFile, AUDIO_STREAM_AUTOFREE);
  sound.ChannelSetAttribute(Stream, AUDIO_ATTRIB_VOL, static_cast<float>(Volume) / 10.0f);
  sound.ChannelPlay(Stream, false);
  // Also when the stream could not be made: the next frame's end check moves on.
  Playing = true;
  Playlist->EnsureCurrentVisible();
}

void TDemo::CheckTrackEnd() {
  // A self-freeing stream fails the length query once it has played to its end.
  if (Playing && audio::Backend().ChannelGetLength(Stream, AUDIO_POS_BYTE) < 0) Playlist->NextTrack(1);
}

void TDemo::AddFilesDialog(bool play) {
  ZRNSetPointerCaptured(false);
  Playlist->AddFilesDialog(play);
  ZRNSetPointerCaptured(true);
}
