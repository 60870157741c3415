#include "PathText.h"

#include <system_error>
#include <utility>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <climits>

namespace {

// The code page of the narrow file functions (SetFileApisToOEM switches it).
UINT narrowFileCodePage() {
    return AreFileApisANSI() ? GetACP() : GetOEMCP();
}

int checkedLength(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) {
        throw std::system_error(std::make_error_code(std::errc::filename_too_long),
                                "path text conversion");
    }
    return static_cast<int>(size);
}

[[noreturn]] void throwConversionError() {
    throw std::system_error(std::make_error_code(std::errc::illegal_byte_sequence),
                            "path text conversion");
}

} // namespace

std::filesystem::path pathFromText(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const UINT codePage = narrowFileCodePage();
    const int size = checkedLength(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (length <= 0) {
        throwConversionError();
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length) != length) {
        throwConversionError();
    }
    return std::filesystem::path(std::move(wide));
}

std::string textOfPath(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    if (wide.empty()) {
        return {};
    }
    const UINT codePage = narrowFileCodePage();
    const int size = checkedLength(wide.size());
    // Without WC_NO_BEST_FIT_CHARS an unmappable character would quietly turn
    // into a look-alike or '?'. UTF-8 has every character but refuses that
    // flag; it is told to reject a lone surrogate instead.
    const bool utf = codePage == CP_UTF8;
    const DWORD flags = utf ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    BOOL* const lossFlag = utf ? nullptr : &lossy;
    const int length =
        WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, lossFlag);
    if (length <= 0 || lossy) {
        throwConversionError();
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(codePage, flags, wide.data(), size, text.data(), length, nullptr,
                            lossFlag) != length ||
        lossy) {
        throwConversionError();
    }
    return text;
}

#else

std::filesystem::path pathFromText(const std::string& text) {
    return std::filesystem::path(text);
}

std::string textOfPath(const std::filesystem::path& path) {
    return path.string();
}

#endif
