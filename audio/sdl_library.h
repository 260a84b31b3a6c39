#pragma once
// SDL2 and SDL2_mixer, loaded when music is first wanted rather than with
// the program: together with what they bring (FluidSynth and its own
// libraries, the sound servers' clients) they are some forty libraries,
// which would take about 10 ms and 5 MB from every start of every mode,
// a silent run's or a settings window's included.
//
// The libraries are loaded once and kept to the end of the process (SDL's
// audio thread may run until then). Their functions are reached through the
// table sdl_library() gives.

#include <QString>

#include <SDL.h>
#include <SDL_mixer.h>

#include <memory>

namespace wm {

struct SdlLibrary {
    decltype(&::SDL_GetError) GetError = nullptr;
    decltype(&::SDL_SetHint) SetHint = nullptr;
    decltype(&::SDL_InitSubSystem) InitSubSystem = nullptr;
    decltype(&::SDL_QuitSubSystem) QuitSubSystem = nullptr;
    decltype(&::SDL_RWFromConstMem) RWFromConstMem = nullptr;
    decltype(&::SDL_RWFromFP) RWFromFP = nullptr;
    decltype(&::SDL_TLSCleanup) TLSCleanup = nullptr;
    decltype(&::Mix_Init) Init = nullptr;
    decltype(&::Mix_Quit) Quit = nullptr;
    decltype(&::Mix_OpenAudio) OpenAudio = nullptr;
    decltype(&::Mix_CloseAudio) CloseAudio = nullptr;
    decltype(&::Mix_SetSoundFonts) SetSoundFonts = nullptr;
    decltype(&::Mix_HookMusicFinished) HookMusicFinished = nullptr;
    decltype(&::Mix_LoadMUSType_RW) LoadMUSType_RW = nullptr;
    decltype(&::Mix_FreeMusic) FreeMusic = nullptr;
    decltype(&::Mix_PlayMusic) PlayMusic = nullptr;
    decltype(&::Mix_HaltMusic) HaltMusic = nullptr;
};

// Loads the two libraries from these files (a soname or a path) and finds
// every function of the table; nothing, with the reason in *problem, when a
// library cannot be loaded or lacks a function. A library once loaded stays.
std::unique_ptr<SdlLibrary> open_sdl_library(const char* sdl_file, const char* mixer_file,
                                             QString* problem);

// The program's SDL and SDL_mixer, loaded on the first call from any thread
// (a call while a load runs waits for it); nothing, with the reason in
// *problem, when they cannot be loaded. Tried only once.
const SdlLibrary* sdl_library(QString* problem);

// Starts the loading on a thread of its own, without waiting. True when it
// is running (it may have been running already): `when_tried` is then called
// on the loading thread once it has ended, well or not (once, however often
// it was given). False when the libraries have already been tried, or no
// thread could be had; `when_tried` is not called.
bool load_sdl_library_in_background(void (*when_tried)());

// Waits for a background load to end, calls included: before what they
// reach (the application) goes.
void finish_sdl_library_load();

}  // namespace wm
