#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commdlg.h>
#include <shobjidl.h>

#include <algorithm>
#include <memory>

#include "core/text.h"
#include "system/desktop_dialog.h"
#include "system/file_filter.h"

namespace qrv {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

std::u16string FromWide(const wchar_t* text) {
    return reinterpret_cast<const char16_t*>(text);
}

// Room for any path the dialogs can give, long paths included.
constexpr size_t kPathRoom = 32768;

// The file field's starting text: the initial path with the separators the dialog accepts.
std::u16string FileField(const std::u16string& initialPath) {
    std::u16string field = initialPath;
    std::replace(field.begin(), field.end(), u'/', u'\\');
    field.resize(std::max(kPathRoom, field.size() + 1), u'\0');
    return field;
}

// Shows the open or save dialog; false when it was cancelled or could not be shown.
bool ShowFileDialog(OPENFILENAMEW& dialog, bool save) {
    return (save ? ::GetSaveFileNameW(&dialog) : ::GetOpenFileNameW(&dialog)) != 0;
}

// COM for the calling thread for the life of the object, when it was not already there.
class TComApartment {
public:
    TComApartment() : started(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~TComApartment() {
        if (started) ::CoUninitialize();
    }
    TComApartment(const TComApartment&) = delete;
    TComApartment& operator=(const TComApartment&) = delete;

private:
    bool started;
};

struct TComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <class T>
using TComRef = std::unique_ptr<T, TComRelease>;

struct TTaskMemoryFree {
    void operator()(wchar_t* text) const { ::CoTaskMemFree(text); }
};

// Makes the dialog open in the folder, when the folder exists.
void StartIn(IFileOpenDialog& dialog, const std::u16string& initialPath) {
    const std::u16string folder = FromUtf8(AbsoluteFolder(initialPath));
    IShellItem* item = nullptr;
    if (FAILED(::SHCreateItemFromParsingName(Wide(folder), nullptr, IID_PPV_ARGS(&item)))) return;
    const TComRef<IShellItem> owner(item);
    dialog.SetFolder(item);
}

// The file-system path of the folder the user picked; empty when cancelled.
std::u16string PickedFolder(IFileOpenDialog& dialog) {
    IShellItem* item = nullptr;
    if (FAILED(dialog.Show(::GetActiveWindow())) || FAILED(dialog.GetResult(&item))) return {};
    const TComRef<IShellItem> owner(item);
    wchar_t* path = nullptr;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) return {};
    const std::unique_ptr<wchar_t, TTaskMemoryFree> text(path);
    return FromWide(text.get());
}

}  // namespace

std::optional<std::string> FindDialogTool() {
    return std::nullopt;
}

std::u16string RunFileRequester(const TFileRequest& request) {
    const std::u16string filter = BuildFileFilter(request.extensions);
    std::u16string file = FileField(request.initialPath);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = ::GetActiveWindow();
    // The filter ends in two NULs: its own last one and the string's terminator.
    dialog.lpstrFilter = filter.empty() ? nullptr : Wide(filter);
    dialog.nFilterIndex = static_cast<DWORD>(FileFilterIndex(request.initialPath, request.extensions));
    dialog.lpstrFile = reinterpret_cast<wchar_t*>(file.data());
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = request.title.empty() ? nullptr : Wide(request.title);
    // Without OFN_NOCHANGEDIR the dialog would move the program's working folder, and every
    // relative path of the program with it.
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
                   (request.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    bool chosen = ShowFileDialog(dialog, request.save);
    // An initial path the dialog cannot take keeps it from opening at all: open it without one.
    if (!chosen && ::CommDlgExtendedError() == FNERR_INVALIDFILENAME) {
        file.assign(file.size(), u'\0');
        chosen = ShowFileDialog(dialog, request.save);
    }
    return chosen ? FromWide(dialog.lpstrFile) : std::u16string();
}

std::u16string RunFolderRequester(const std::u16string& title, const std::u16string& initialPath) {
    const TComApartment com;
    IFileOpenDialog* created = nullptr;
    const HRESULT made =
        ::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&created));
    if (FAILED(made)) return {};
    const TComRef<IFileOpenDialog> dialog(created);
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR);
    if (!title.empty()) dialog->SetTitle(Wide(title));
    StartIn(*dialog, initialPath);
    return PickedFolder(*dialog);
}

}  // namespace qrv
