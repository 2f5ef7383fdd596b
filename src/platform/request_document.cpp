#include "platform/request_document.h"

#include <cctype>
#include <stdexcept>
#include <string_view>

namespace platform {

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string Trim(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlankOrControl(text[begin])) ++begin;
  while (end > begin && IsBlankOrControl(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

bool IsTypeName(std::string_view name) {
  if (name.size() != 4) return false;
  for (std::size_t i = 0; i < 4; ++i) {
    if (std::tolower(static_cast<unsigned char>(name[i])) != "type"[i]) return false;
  }
  return true;
}

}  // namespace

TRequestDocument::TRequestDocument(const std::string& text) {
  pugi::xml_parse_result parsed =
      Document_.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
  pugi::xml_node root = Document_.document_element();
  if (!parsed || !root) {
    throw std::invalid_argument(std::string("the request is not an XML document: ") +
                                parsed.description());
  }
  for (const pugi::xml_attribute& attribute : root.attributes()) {
    if (IsTypeName(attribute.name())) {
      Type_ = Trim(attribute.value());
      break;
    }
  }
  // Text and comments between the children do not shift the positions.
  for (const pugi::xml_node& child : root.children()) {
    if (child.type() == pugi::node_element) Children_.push_back(child);
  }
}

std::string TRequestDocument::ChildText(std::size_t position) const {
  if (position >= Children_.size()) {
    throw std::out_of_range("the request has no child " + std::to_string(position));
  }
  return Children_[position].child_value();
}

}  // namespace platform
