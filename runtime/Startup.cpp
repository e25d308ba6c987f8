#include "runtime/Startup.h"

#include "runtime/CommandLine.h"
#include "runtime/ThreadState.h"

namespace {

StartupRecord startup;

// All exceptions masked, 64-bit precision, round to nearest, for the x87 unit where the
// target has one; SSE arithmetic keeps its own defaults.
void SetFloatControlWord() noexcept {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    const unsigned short controlWord = 0x133F;
    __asm__ volatile("fldcw %0" : : "m"(controlWord));
#endif
}

} // namespace

const StartupRecord& GetStartupRecord() noexcept {
    return startup;
}

void RuntimeStartup() noexcept {
    CoInitialize(nullptr);

    startup.version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    GetVersionExA(&startup.version);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

    STARTUPINFOA startupInfo{};
    startupInfo.cb = sizeof startupInfo;
    GetStartupInfoA(&startupInfo);
    startup.showCommand = (startupInfo.dwFlags & STARTF_USESHOWWINDOW) != 0
                              ? startupInfo.wShowWindow
                              : SW_SHOWDEFAULT;
    startup.argumentText = SkipProgramName(GetCommandLineA());
    startup.instance = GetModuleHandleA(nullptr);

    if (!ThreadStateStartup()) {
        RuntimeShutdown(255);
    }

    SetFloatControlWord();
    RuntimeShutdown(
        ProgramMain(startup.instance, nullptr, startup.argumentText, startup.showCommand));
}

void RuntimeShutdown(std::int32_t exitCode) noexcept {
    ReleaseProgramGlobals();
    ThreadStateShutdown();
    CoUninitialize();
    ExitProcess(static_cast<UINT>(exitCode));
}
