#include "sheets/xml_part.h"

#include <QByteArray>

namespace qm4250 {

namespace {

constexpr std::string_view kCommentOpening = "<!--";
constexpr std::string_view kCDataOpening = "<![CDATA[";

// The parser's message may quote the file; only printable ASCII of it is shown, and not much.
std::string PlainMessage(const QString& message) {
    constexpr qsizetype kShown = 120;
    std::string plain;
    for (QChar c : message.left(kShown))
        plain += c.unicode() >= 0x20 && c.unicode() < 0x7F ? static_cast<char>(c.unicode()) : '?';
    return plain;
}

bool StartsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start.substr(0, text.size());
}

}  // namespace

XmlPart::XmlPart(ZipParts& zip) : zip_(zip), name_(zip.name()) {}

std::variant<XmlPart::Token, SheetReadError> XmlPart::next() {
    for (;;) {
        Token token = reader_.readNext();
        if (reader_.error() == QXmlStreamReader::PrematureEndOfDocumentError && !ended_) {
            if (std::optional<SheetReadError> failed = feed())
                return *failed;
            continue;
        }
        if (reader_.hasError())
            return Damaged(name_ + ", line " + std::to_string(reader_.lineNumber()) + ": " +
                           PlainMessage(reader_.errorString()));
        fedSinceToken_ = 0;
        switch (token) {
            case Token::DTD:
                return Damaged(name_ + " has a document type declaration");
            case Token::StartElement:
                if (++depth_ > kMaxXmlDepth)
                    return Damaged(name_ + " nests elements more than " +
                                   std::to_string(kMaxXmlDepth) + " deep");
                return token;
            case Token::EndElement:
                --depth_;
                return token;
            case Token::EndDocument:
                // What follows the root element is not XML to parse, but part of what the CRC
                // covers.
                if (std::optional<SheetReadError> failed = zip_.readRest())
                    return *failed;
                ended_ = true;
                return token;
            case Token::Characters:
                return token;
            default:
                continue;
        }
    }
}

std::optional<SheetReadError> XmlPart::skipElement() {
    for (int depth = depth_; depth_ >= depth;) {
        std::variant<Token, SheetReadError> token = next();
        if (auto* failed = std::get_if<SheetReadError>(&token))
            return *failed;
        if (std::get<Token>(token) == Token::EndDocument)
            break;
    }
    return std::nullopt;
}

std::optional<SheetReadError> XmlPart::feed() {
    std::variant<std::string_view, SheetReadError> piece = zip_.next();
    if (auto* failed = std::get_if<SheetReadError>(&piece))
        return *failed;
    std::string_view bytes = std::get<std::string_view>(piece);
    if (bytes.empty()) {
        ended_ = true;
        return std::nullopt;
    }
    fedSinceToken_ += bytes.size();
    if (fedSinceToken_ > kMaxXmlTokenBytes)
        return TooLarge(name_ + " has a token longer than 4 MiB");
    if (std::optional<SheetReadError> failed = scanTags(bytes))
        return failed;
    reader_.addData(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return std::nullopt;
}

// Follows the markup in the raw bytes just far enough to know how long each tag is, before the
// parser sees it.
std::optional<SheetReadError> XmlPart::scanTags(std::string_view bytes) {
    for (char c : bytes) {
        switch (markup_) {
            case Markup::Text:
                if (c == '<') {
                    markup_ = Markup::Open;
                    opening_ = "<";
                    tagBytes_ = 1;
                }
                continue;
            case Markup::Open:
                opening_ += c;
                if (opening_.size() == 2 && c != '!') {
                    markup_ = c == '?' ? Markup::Declaration : Markup::Tag;
                } else if (opening_ == kCommentOpening) {
                    markup_ = Markup::Comment;
                } else if (opening_ == kCDataOpening) {
                    markup_ = Markup::CData;
                } else if (!StartsWith(opening_, kCommentOpening) &&
                           !StartsWith(opening_, kCDataOpening)) {
                    markup_ = Markup::Declaration;
                }
                closers_ = 0;
                if (markup_ != Markup::Tag || c != '>')
                    continue;
                break;
            case Markup::Tag:
                if (c == '"' || c == '\'') {
                    quote_ = c;
                    markup_ = Markup::Quoted;
                }
                break;
            case Markup::Quoted:
                if (c == quote_)
                    markup_ = Markup::Tag;
                break;
            case Markup::Comment:
            case Markup::CData:
                if (c == '>' && closers_ >= 2)
                    markup_ = Markup::Text;
                closers_ = c == (markup_ == Markup::Comment ? '-' : ']') ? closers_ + 1 : 0;
                continue;
            case Markup::Declaration:
                if (c == '>')
                    markup_ = Markup::Text;
                continue;
        }
        if (++tagBytes_ > kMaxXmlTagBytes)
            return TooLarge(name_ + " has a tag longer than 16 KiB");
        if (c == '>' && markup_ == Markup::Tag)
            markup_ = Markup::Text;
    }
    return std::nullopt;
}

}  // namespace qm4250
