#include "canvas/PreparedPicture.h"

#include "canvas/GdiHandles.h"
#include "canvas/PictureFile.h"
#include "canvas/PictureRectangle.h"
#include "canvas/TopDownBitmapInfo.h"

#include <memory>
#include <new>

namespace {

// What the thread is given, and what it leaves: the bytes it read and their stretch.
struct Preparation {
    DynString name; // read, not changed, by the thread
    int width = 0;
    int height = 0;
    PictureFile file;
    HBITMAP picture = nullptr;
};

DWORD WINAPI Prepare(void* context) {
    Preparation& job = *static_cast<Preparation*>(context);
    BitmapLayout layout{};
    if (!ReadPictureFile(job.name.Bytes(), job.file) || !CheckBitmapFile(job.file.View(), layout)) {
        return 0;
    }
    // Compatible with a DC holding the canvas's kind of backing bitmap, as the canvas's own
    // stretch is.
    ScratchDc reference(CreateCompatibleDC(nullptr));
    const BITMAPINFO info = TopDownBitmapInfo(1, 1);
    void* bits = nullptr;
    GdiObject<HBITMAP> kind(
        reference ? CreateDIBSection(reference.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0)
                  : nullptr);
    if (!kind) {
        return 0;
    }
    Selection selected(reference.Get(), kind.Get());
    if (selected.Succeeded()) {
        job.picture = StretchPictureFile(reference.Get(), job.file, layout, job.width, job.height);
    }
    return 0;
}

// The one preparation and its thread, which only the thread itself touches until it ends;
// waited for before it goes, with the program too.
class PendingPreparation {
  public:
    PendingPreparation() = default;
    ~PendingPreparation() {
        if (std::unique_ptr<Preparation> job = Finish(); job != nullptr && job->picture) {
            DeleteObject(job->picture);
        }
    }
    PendingPreparation(const PendingPreparation&) = delete;
    PendingPreparation& operator=(const PendingPreparation&) = delete;

    bool Started() const noexcept { return thread_ != nullptr; }

    void Start(std::unique_ptr<Preparation> job) noexcept {
        thread_ = CreateThread(nullptr, 0, Prepare, job.get(), 0, nullptr);
        if (thread_ != nullptr) {
            job_ = std::move(job);
        }
    }

    // The preparation once its thread has ended; null when none was started.
    std::unique_ptr<Preparation> Finish() noexcept {
        if (thread_ == nullptr) {
            return nullptr;
        }
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
        return std::move(job_);
    }

  private:
    HANDLE thread_ = nullptr;
    std::unique_ptr<Preparation> job_;
};

PendingPreparation pending;

} // namespace

void PreparePicture(const DynString& name, double x1, double y1, double x2, double y2) noexcept {
    PictureRectangle rectangle{};
    if (pending.Started() || !FindPictureRectangle(name, x1, y1, x2, y2, rectangle)) {
        return;
    }
    std::unique_ptr<Preparation> job(new (std::nothrow) Preparation);
    if (job == nullptr) {
        return;
    }
    job->name = name;
    job->width = rectangle.width;
    job->height = rectangle.height;
    pending.Start(std::move(job));
}

HBITMAP TakePreparedPicture(const char* name, std::string_view bytes, int width,
                            int height) noexcept {
    const std::unique_ptr<Preparation> job = pending.Finish();
    if (job == nullptr || job->picture == nullptr) {
        return nullptr;
    }
    if (job->name.View() == std::string_view(name) && job->width == width &&
        job->height == height && job->file.View() == bytes) {
        return job->picture;
    }
    DeleteObject(job->picture);
    return nullptr;
}
