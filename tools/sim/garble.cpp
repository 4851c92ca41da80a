#include "garble.h"

#include <cstddef>

namespace sim {

namespace {

constexpr std::size_t kTimeField = 5;
constexpr std::size_t kRelayField = 6;

// Where field `index` of a test record body starts and ends; the kind character comes first.
struct FieldSpan {
    std::size_t begin = std::string_view::npos;
    std::size_t end = std::string_view::npos;
};

FieldSpan FindField(std::string_view body, std::size_t index) {
    std::size_t begin = 1;
    for (std::size_t i = 0; i < index; ++i) {
        begin = body.find(',', begin);
        if (begin == std::string_view::npos)
            return {};
        ++begin;
    }
    std::size_t end = body.find(',', begin);
    return {begin, end == std::string_view::npos ? body.size() : end};
}

std::string SpoilLastCharacter(std::string_view body, std::size_t index) {
    std::string garbled(body);
    FieldSpan field = FindField(body, index);
    if (field.begin == std::string_view::npos)
        return garbled;
    if (field.end == field.begin)
        garbled.insert(field.begin, 1, '?');
    else
        garbled[field.end - 1] = '?';
    return garbled;
}

}  // namespace

std::string GarbleRecord(std::string_view body, GarbleKind kind) {
    switch (kind) {
        case GarbleKind::kFewerFields: {
            FieldSpan relay = FindField(body, kRelayField);
            if (relay.begin == std::string_view::npos)
                return std::string(body);
            return std::string(body.substr(0, relay.begin - 1));
        }
        case GarbleKind::kBadTime:
            return SpoilLastCharacter(body, kTimeField);
        case GarbleKind::kBadRelay:
            return SpoilLastCharacter(body, kRelayField);
    }
    return std::string(body);
}

}  // namespace sim
