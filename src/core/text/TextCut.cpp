#include "core/text/TextCut.h"

std::string cutText(const std::string& text, std::size_t keep) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (!startsCharacter) continue;
        if (characters == keep) return text.substr(0, i) + "...";
        ++characters;
    }
    return text;
}
