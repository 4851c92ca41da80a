#include "archive/kept_text.h"

#include "formats/utf8.h"

namespace qm4250 {

namespace {

constexpr char16_t kNulSymbol = 0x2400;

}  // namespace

QString KeptText(const QString& text) {
    QString kept = text.isNull() ? QString("") : text;
    return kept.replace(QChar(0), QChar(kNulSymbol));
}

std::vector<QString> KeptTexts(const std::vector<QString>& texts) {
    std::vector<QString> kept;
    kept.reserve(texts.size());
    for (const QString& text : texts)
        kept.push_back(KeptText(text));
    return kept;
}

QString KeptTextOfBytes(std::string_view bytes) {
    return KeptText(QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

void KeptUtf8OfBytes(std::string_view bytes, std::string& out) {
    out.clear();
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        AppendUtf8(byte == 0 ? kNulSymbol : char32_t{byte}, out);
    }
}

std::string ReceivedBytes(const QString& kept) {
    return QString(kept).replace(QChar(kNulSymbol), QChar(0)).toLatin1().toStdString();
}

}  // namespace qm4250
