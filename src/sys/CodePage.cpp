#include "sys/CodePage.h"

namespace sys {

namespace {

UINT Resolved(UINT codePage) {
    if (codePage == CP_ACP) {
        return GetACP();
    }
    return codePage == CP_OEMCP ? GetOEMCP() : codePage;
}

} // namespace

bool ToCodePage(const std::wstring& text, UINT codePage, std::string& out) {
    out.clear();
    if (text.empty()) {
        return true;
    }
    const UINT page = Resolved(codePage);
    // UTF-8 has a form for everything and refuses these flags; the way back still checks it.
    const bool utf8 = page == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const defaultUsed = utf8 ? nullptr : &usedDefault;
    const int length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(page, flags, text.data(), length, nullptr, 0, nullptr, defaultUsed);
    if (size <= 0 || usedDefault) {
        return false;
    }
    out.resize(static_cast<std::size_t>(size));
    WideCharToMultiByte(page, flags, text.data(), length, &out[0], size, nullptr, defaultUsed);
    if (usedDefault || FromCodePage(out, page) != text) {
        out.clear();
        return false;
    }
    return true;
}

std::wstring FromCodePage(const std::string& text, UINT codePage) {
    if (text.empty()) {
        return {};
    }
    const UINT page = Resolved(codePage);
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(page, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) {
        MultiByteToWideChar(page, 0, text.data(), length, &wide[0], size);
    }
    return wide;
}

std::wstring FromFileText(const std::string& bytes) {
    if (bytes.rfind("\xFF\xFE", 0) == 0) {
        std::wstring text((bytes.size() - 2) / 2, L'\0');
        for (std::size_t i = 0; i < text.size(); ++i) {
            text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                           static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
        }
        return text;
    }
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) {
        return FromCodePage(bytes.substr(3), CP_UTF8);
    }
    return FromCodePage(bytes, CP_ACP);
}

} // namespace sys
