#pragma once
// Reading and writing the attributes of the program's XML files through
// Boost.PropertyTree, where they sit under "<xmlattr>".
#include <boost/optional.hpp>
#include <boost/property_tree/ptree.hpp>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace xml {

inline constexpr char kAttrs[] = "<xmlattr>";

// The property-tree path of an attribute, "<xmlattr>.name". Appended to a
// named string: GCC 12 warns, wrongly (-Warray-bounds), about the string
// that `std::string(kAttrs) + ...` moves out of a temporary.
inline std::string AttrKey(const char* attr)
{
    std::string key(kAttrs);
    key += '.';
    key += attr;
    return key;
}

// A file that cannot be used; the text says why.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline const boost::property_tree::ptree& Required(const boost::property_tree::ptree& parent, const char* name)
{
    const auto child = parent.get_child_optional(name);
    if (!child)
        throw FileError(std::string("the element <") + name + "> is missing");
    return *child;
}

class AttributeReader {
public:
    explicit AttributeReader(const boost::property_tree::ptree& node) : attrs_(node.get_child_optional(kAttrs)) {}

    std::optional<std::string> Text(const char* attr) const
    {
        if (!attrs_)
            return std::nullopt;
        const auto value = attrs_->get_optional<std::string>(attr);
        return value ? std::optional<std::string>(*value) : std::nullopt;
    }

    std::string Text(const char* attr, const std::string& fallback) const { return Text(attr).value_or(fallback); }

private:
    boost::optional<const boost::property_tree::ptree&> attrs_;
};

// Attributes are written in the order they are added.
class AttributeWriter {
public:
    explicit AttributeWriter(boost::property_tree::ptree& node) : node_(node) {}

    AttributeWriter& Add(const char* attr, const std::string& value)
    {
        node_.add(AttrKey(attr), value);
        return *this;
    }
    AttributeWriter& Add(const char* attr, const char* value) { return Add(attr, std::string(value)); }
    AttributeWriter& Add(const char* attr, int32_t value) { return Add(attr, std::to_string(value)); }
    AttributeWriter& Add(const char* attr, uint32_t value) { return Add(attr, std::to_string(value)); }
    // As "1" or "0".
    AttributeWriter& Digit(const char* attr, int32_t value) { return Add(attr, int32_t(value != 0 ? 1 : 0)); }
    // As "true" or "false".
    AttributeWriter& Word(const char* attr, bool value) { return Add(attr, value ? "true" : "false"); }

private:
    boost::property_tree::ptree& node_;
};

} // namespace xml
