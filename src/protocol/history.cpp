#include "protocol/history.h"

#include "protocol/field_format.h"

namespace qm4250 {

TestRecord::TestRecord(const Fields& fields) : seconds_(fields.seconds), relays_(fields.relays) {
    const std::string_view texts[kTexts] = {fields.seq,       fields.pn,        fields.custCode,
                                            fields.leak,      fields.errorCode, fields.timeDate,
                                            fields.relayField};
    size_t size = 0;
    for (std::string_view text : texts)
        size += text.size();
    texts_.reserve(size);
    for (int i = 0; i < kTexts; ++i) {
        texts_.append(texts[i]);
        ends_[i] = static_cast<uint32_t>(texts_.size());
    }
}

std::string_view TestRecord::text(int index) const {
    uint32_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(texts_).substr(begin, ends_[index] - begin);
}

std::string ErrorText(std::string_view errorCode) {
    std::string text;
    if (errorCode != "N")
        text.append("*").append(errorCode);
    return text;
}

std::string ErrorText(const TestRecord& record) {
    return ErrorText(record.errorCode());
}

bool PowerUp(const TestRecord& record) {
    return RelayOn(record, 0);
}

bool RelayOn(const TestRecord& record, int bit) {
    return RelayBitSet(record.relays(), bit);
}

namespace {

struct Model {
    const char* code;
    const char* name;
};

constexpr Model kModels[] = {{"S", "Norvik"}, {"Q", "Pellmar"}, {"H", "Dravon Flow"}};

}  // namespace

std::string ModelNameOf(const std::string& modelCode) {
    for (const Model& model : kModels)
        if (modelCode == model.code)
            return model.name;
    return modelCode;
}

std::string ModelCodeOf(const std::string& modelName) {
    for (const Model& model : kModels)
        if (modelName == model.name)
            return model.code;
    return modelName;
}

bool IsPellmar(const Identification& identification) {
    return identification.modelName == "Pellmar";
}

}  // namespace qm4250
