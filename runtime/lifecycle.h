// Start-up and shutdown of the runtime. Each kind joins the sequence at its
// fixed stage; runtime_start runs the stages in order after creating the
// runtime heap, runtime_stop runs the shutdown stages in order and destroys
// the heaps last. Kinds that a program does not link simply never join.
#pragma once

enum class StartupStage : int {
  StringBuffers,
  GraphicsProbe,
  CodecHeap,
  ImageKind,
  EventQueue,
  WindowKind,
  GadgetKind,
  OleInit,
  FontKind,
  PrefsState,
  ProgramKind,
  RegexKind,
  CommonControls,
  ThreadSupport,
  Network,
  CodecRegistrations,
  Count
};

enum class ShutdownStage : int {
  Threads,
  RegularExpressions,
  ProgramKind,
  PrefsState,
  Network,
  Fonts,
  FileObjects,
  OleUninit,
  Gadgets,
  Windows,
  Images,
  GraphicsRelease,
  CodecHeap,
  StringBuffers,
  Count
};

using LifecycleStep = void (*)();

// A step joins its stage once (joining the same step again changes nothing);
// steps of one stage run in the order they joined. False when a stage is full.
bool runtime_join_startup(StartupStage stage, LifecycleStep step);
bool runtime_join_shutdown(ShutdownStage stage, LifecycleStep step);

// Brings the runtime up; false when the runtime heap cannot be created.
bool runtime_start();
// Tears it down; the heaps and everything in them are gone afterwards.
void runtime_stop();
bool runtime_is_running();

// The module instance remembered at start-up (null on the host build).
void* runtime_instance();
// Seam: the platform's instance handle of the running program.
void* platform_module_instance();
