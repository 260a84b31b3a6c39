#include "audio/sdl_library.h"

#include <dlfcn.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace wm {
namespace {

constexpr const char* kSdlFile = "libSDL2-2.0.so.0";
constexpr const char* kMixerFile = "libSDL2_mixer-2.0.so.0";

QString loader_error() {
    const char* text = ::dlerror();
    return text != nullptr ? QString::fromLocal8Bit(text) : QStringLiteral("unknown error");
}

// Finds `name` in `library` as a pointer of the type of `function`.
template <typename Function>
bool find(void* library, const char* name, Function* function, QString* problem) {
    ::dlerror();
    void* const address = ::dlsym(library, name);
    if (address == nullptr) {
        *problem = QStringLiteral("The sound system lacks %1: %2")
                       .arg(QLatin1String(name), loader_error());
        return false;
    }
    // dlsym's answer is a function's address for a function's name.
    *function = reinterpret_cast<Function>(address);
    return true;
}

// Whether the program's libraries have been tried, by whom, and with what
// result. Never destroyed: a background load may still be running when the
// process ends.
struct LibraryState {
    std::mutex mutex;
    std::condition_variable tried_cv;
    bool loading = false;
    bool tried = false;
    std::unique_ptr<SdlLibrary> library;
    QString problem;
    std::vector<void (*)()> when_tried;
    std::thread loader;  // a background load, until it is joined
};

LibraryState& state() {
    static LibraryState* const the_state = new LibraryState;
    return *the_state;
}

// Loads the libraries on the calling thread, then calls what waits for the
// load to end. `lock` holds the state's mutex, and `loading` is set.
void load_now(std::unique_lock<std::mutex>& lock) {
    LibraryState& s = state();
    lock.unlock();
    QString problem;
    std::unique_ptr<SdlLibrary> library = open_sdl_library(kSdlFile, kMixerFile, &problem);
    lock.lock();
    s.library = std::move(library);
    s.problem = problem;
    s.loading = false;
    s.tried = true;
    s.tried_cv.notify_all();
    const std::vector<void (*)()> calls = std::exchange(s.when_tried, {});
    lock.unlock();
    for (void (*call)() : calls) {
        call();
    }
    lock.lock();
}

}  // namespace

std::unique_ptr<SdlLibrary> open_sdl_library(const char* sdl_file, const char* mixer_file,
                                             QString* problem) {
    // Every function is bound now, so that no later call stops to look one
    // up; the libraries' symbols stay out of the program's namespace.
    void* const sdl = ::dlopen(sdl_file, RTLD_NOW | RTLD_LOCAL);
    if (sdl == nullptr) {
        *problem = QStringLiteral("The sound system cannot be loaded: %1").arg(loader_error());
        return nullptr;
    }
    void* const mixer = ::dlopen(mixer_file, RTLD_NOW | RTLD_LOCAL);
    if (mixer == nullptr) {
        *problem = QStringLiteral("The sound system cannot be loaded: %1").arg(loader_error());
        return nullptr;
    }
    auto t = std::make_unique<SdlLibrary>();
    const bool found = find(sdl, "SDL_GetError", &t->GetError, problem) &&
                       find(sdl, "SDL_SetHint", &t->SetHint, problem) &&
                       find(sdl, "SDL_InitSubSystem", &t->InitSubSystem, problem) &&
                       find(sdl, "SDL_QuitSubSystem", &t->QuitSubSystem, problem) &&
                       find(sdl, "SDL_RWFromConstMem", &t->RWFromConstMem, problem) &&
                       find(sdl, "SDL_RWFromFP", &t->RWFromFP, problem) &&
                       find(sdl, "SDL_TLSCleanup", &t->TLSCleanup, problem) &&
                       find(mixer, "Mix_Init", &t->Init, problem) &&
                       find(mixer, "Mix_Quit", &t->Quit, problem) &&
                       find(mixer, "Mix_OpenAudio", &t->OpenAudio, problem) &&
                       find(mixer, "Mix_CloseAudio", &t->CloseAudio, problem) &&
                       find(mixer, "Mix_SetSoundFonts", &t->SetSoundFonts, problem) &&
                       find(mixer, "Mix_HookMusicFinished", &t->HookMusicFinished, problem) &&
                       find(mixer, "Mix_LoadMUSType_RW", &t->LoadMUSType_RW, problem) &&
                       find(mixer, "Mix_FreeMusic", &t->FreeMusic, problem) &&
                       find(mixer, "Mix_PlayMusic", &t->PlayMusic, problem) &&
                       find(mixer, "Mix_HaltMusic", &t->HaltMusic, problem);
    return found ? std::move(t) : nullptr;
}

const SdlLibrary* sdl_library(QString* problem) {
    LibraryState& s = state();
    std::unique_lock<std::mutex> lock(s.mutex);
    if (!s.tried && !s.loading) {
        s.loading = true;
        load_now(lock);
    }
    s.tried_cv.wait(lock, [&s] { return s.tried; });
    if (s.library == nullptr && problem != nullptr) {
        *problem = s.problem;
    }
    return s.library.get();
}

bool load_sdl_library_in_background(void (*when_tried)()) {
    LibraryState& s = state();
    const std::lock_guard<std::mutex> lock(s.mutex);
    if (s.tried) {
        return false;
    }
    if (std::find(s.when_tried.begin(), s.when_tried.end(), when_tried) == s.when_tried.end()) {
        s.when_tried.push_back(when_tried);
    }
    if (s.loading) {
        return true;  // the running load calls it too
    }
    try {
        s.loader = std::thread([] {
            std::unique_lock<std::mutex> loader_lock(state().mutex);
            load_now(loader_lock);
        });
    } catch (const std::system_error&) {
        // No thread to be had: the first use loads the libraries itself.
        s.when_tried.clear();
        return false;
    }
    s.loading = true;
    return true;
}

void finish_sdl_library_load() {
    LibraryState& s = state();
    std::thread loader;
    {
        const std::lock_guard<std::mutex> lock(s.mutex);
        loader = std::move(s.loader);
    }
    if (loader.joinable()) {
        loader.join();
    }
}

}  // namespace wm
