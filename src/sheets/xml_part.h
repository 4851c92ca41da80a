#pragma once

#include <QXmlStreamReader>
#include <cstddef>
#include <optional>
#include <string>
#include <variant>

#include "sheets/sheet_rows.h"
#include "sheets/zip_parts.h"

namespace qm4250 {

// How much an XML part may ask of the reader: elements nested at most this deep (an .xlsx sheet
// needs 7), no token spanning more than 4 MiB of input (a cell's text may be 1 MiB), no tag longer
// than 16 KiB (the attribute checks of an element cost time that grows with the square of its
// attributes).
inline constexpr int kMaxXmlDepth = 32;
inline constexpr size_t kMaxXmlTokenBytes = size_t{4} << 20;
inline constexpr size_t kMaxXmlTagBytes = 16 * 1024;

// The XML of the part of a zip opened last, token by token, in bounded memory and time: a part of
// any size is inflated and parsed 64 KiB at a time. A document type declaration is refused.
class XmlPart {
  public:
    explicit XmlPart(ZipParts& zip);

    using Token = QXmlStreamReader::TokenType;
    // The next start element, end element, characters or end of document; the end of the
    // document only once the whole part was inflated and found to be as its header declares.
    std::variant<Token, SheetReadError> next();

    const QXmlStreamReader& reader() const { return reader_; }
    int depth() const { return depth_; }
    // The part's name as errors show it.
    const std::string& name() const { return name_; }
    // Skips the rest of the element just started.
    std::optional<SheetReadError> skipElement();

    // Reads to the end of the part, handing each token to `visit`. An error, the part's or the
    // one `visit` returns, ends the reading.
    template <typename Visit>
    SheetReadResult readToEnd(Visit visit) {
        for (;;) {
            std::variant<Token, SheetReadError> token = next();
            if (auto* failed = std::get_if<SheetReadError>(&token))
                return *failed;
            Token type = std::get<Token>(token);
            if (type == Token::EndDocument)
                return std::nullopt;
            if (SheetReadResult failed = visit(type))
                return failed;
        }
    }

  private:
    std::optional<SheetReadError> feed();
    std::optional<SheetReadError> scanTags(std::string_view bytes);

    enum class Markup { Text, Open, Tag, Quoted, Comment, CData, Declaration };

    ZipParts& zip_;
    std::string name_;
    QXmlStreamReader reader_;
    int depth_ = 0;
    bool ended_ = false;
    size_t fedSinceToken_ = 0;
    Markup markup_ = Markup::Text;
    char quote_ = 0;
    size_t tagBytes_ = 0;
    std::string opening_;  // "<!" and what follows, until it says comment, CDATA or other
    int closers_ = 0;      // "-" or "]" in a row, before the ">" that ends a comment or CDATA
};

}  // namespace qm4250
