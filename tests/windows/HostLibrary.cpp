#include "HostLibrary.h"

#include <oleauto.h>

#include <chrono>
#include <cstring>

#include "ExportCall.h"

namespace {

std::vector<MessageBoxCall> recordedBoxes;

int WINAPI recordMessageBox(HWND, LPCSTR text, LPCSTR caption, UINT style) {
    recordedBoxes.push_back({caption ? caption : "", text ? text : "", style});
    return IDOK;
}

// Points one entry of the module's import address table elsewhere.
bool patchImport(HMODULE module, const char *dll, const char *function, const void *replacement) {
    auto *base = reinterpret_cast<BYTE *>(module);
    const auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    const auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY &imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto *entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR *>(base + imports.VirtualAddress);
    for (; entry->Name != 0; ++entry) {
        if (_stricmp(reinterpret_cast<const char *>(base + entry->Name), dll) != 0) continue;
        auto *names = reinterpret_cast<const IMAGE_THUNK_DATA *>(base + entry->OriginalFirstThunk);
        auto *slots = reinterpret_cast<IMAGE_THUNK_DATA *>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto *named =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME *>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char *>(named->Name), function) != 0) continue;
            DWORD protection = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return true;
        }
    }
    return false;
}

}  // namespace

HostLibrary::HostLibrary(const std::string &path) : module_(LoadLibraryA(path.c_str())) {}

HostLibrary::~HostLibrary() {
    if (module_ != nullptr) FreeLibrary(module_);
}

void *HostLibrary::byName(const char *name) const {
    return reinterpret_cast<void *>(GetProcAddress(module_, name));
}

void *HostLibrary::byOrdinal(int ordinal) const {
    return reinterpret_cast<void *>(
        GetProcAddress(module_, MAKEINTRESOURCEA(static_cast<WORD>(ordinal))));
}

bool HostLibrary::recordMessageBoxes() {
    return patchImport(module_, "USER32.dll", "MessageBoxA",
                       reinterpret_cast<const void *>(&recordMessageBox));
}

std::vector<MessageBoxCall> HostLibrary::takeMessageBoxes() {
    std::vector<MessageBoxCall> boxes;
    boxes.swap(recordedBoxes);
    return boxes;
}

LibraryCall HostLibrary::call(const char *name, const std::vector<intptr_t> &arguments) {
    LibraryCall call;
    const void *function = byName(name);
    Tally &tally = tallies_[name];
    ++tally.calls;
    if (function == nullptr) {
        ++tally.unbalanced;
        call.value = -1;
        return call;
    }
    const auto start = std::chrono::steady_clock::now();
    output_.begin();
    const ExportResult result = callExport(function, arguments);
    call.output = output_.end();
    call.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    call.value = result.value;
    call.stackLeft = result.stackLeft;
    if (result.stackLeft != 0) ++tally.unbalanced;
    return call;
}

std::string takeSystemString(intptr_t value) {
    BSTR text = reinterpret_cast<BSTR>(value);
    if (text == nullptr) return "<null>";
    const std::string bytes(reinterpret_cast<const char *>(text), SysStringByteLen(text));
    SysFreeString(text);
    return bytes;
}
