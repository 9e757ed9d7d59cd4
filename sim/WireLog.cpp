#include "WireLog.h"

namespace {
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

std::string EscapeBytes(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            text += "\\r";
        } else if (c == '\n') {
            text += "\\n";
        } else if (c == '\\') {
            text += "\\\\";
        } else if (byte >= 0x20 && byte < 0x7F) {
            text.push_back(c);
        } else {
            text += "\\x";
            text.push_back(kHex[byte >> 4]);
            text.push_back(kHex[byte & 0x0F]);
        }
    }
    return text;
}

std::string UnescapeBytes(std::string_view text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            bytes.push_back(text[i]);
            continue;
        }
        const char kind = text[i + 1];
        if (kind == 'r' || kind == 'n' || kind == '\\') {
            bytes.push_back(kind == 'r' ? '\r' : kind == 'n' ? '\n' : '\\');
            ++i;
        } else if (kind == 'x' && i + 3 < text.size() && HexValue(text[i + 2]) >= 0 &&
                   HexValue(text[i + 3]) >= 0) {
            bytes.push_back(static_cast<char>(HexValue(text[i + 2]) * 16 + HexValue(text[i + 3])));
            i += 3;
        } else {
            bytes.push_back(text[i]);
        }
    }
    return bytes;
}

WireLog::~WireLog() {
    if (m_pFile) std::fclose(m_pFile);
}

bool WireLog::Open(const std::string& path) {
    if (m_pFile) std::fclose(m_pFile);
    m_pFile = std::fopen(path.c_str(), "a");
    return m_pFile != nullptr;
}

void WireLog::Write(std::string_view prefix, std::string_view text) {
    if (!m_pFile) return;
    std::fwrite(prefix.data(), 1, prefix.size(), m_pFile);
    std::fwrite(text.data(), 1, text.size(), m_pFile);
    std::fputc('\n', m_pFile);
    std::fflush(m_pFile);
}
