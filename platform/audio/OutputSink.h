#pragma once
// Something that takes mixed frames from a TAudioOutput and sends them towards the speaker:
// the sound server, SDL's device, or a clock that discards them in real time. Each renders
// through TAudioOutput::Render with its id and reports when its frames are heard.
class IOutputSink {
 public:
  virtual ~IOutputSink() = default;
  // True once the sink can no longer play (its server went away, its device was lost).
  virtual bool Failed() const = 0;
  virtual bool IsSoundServer() const { return false; }
};
