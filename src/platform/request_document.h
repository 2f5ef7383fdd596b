#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include <pugixml.hpp>

namespace platform {

// The envelope every request shares: one XML document whose root carries
// the operation in its attribute "type" (name in any case, value without
// surrounding blanks and control characters) and whose child elements are
// known by position alone, their names never looked at.
class TRequestDocument {
 public:
  // Throws std::invalid_argument when the text is not a document.
  explicit TRequestDocument(const std::string& text);

  const std::string& Type() const { return Type_; }
  std::size_t ChildCount() const { return Children_.size(); }
  // The child's text with entities and character references decoded; empty
  // for an empty element. Throws std::out_of_range past the last child.
  std::string ChildText(std::size_t position) const;

 private:
  pugi::xml_document Document_;
  std::string Type_;
  std::vector<pugi::xml_node> Children_;
};

}  // namespace platform
