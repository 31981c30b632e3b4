#pragma once
// Key tables for the program's XML files: each attribute of an element is
// named once, with how its text reads into a record and how the record
// writes it, so that a file's reader and writer cannot drift apart. A table
// lists its keys in the order they are written.
#include <boost/property_tree/ptree.hpp>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/text_helpers.h"
#include "core/xml_attributes.h"

namespace xml {

// An element's attributes, with the element's name for what is wrong with them.
class Element : public AttributeReader {
public:
    Element(const boost::property_tree::ptree& node, std::string name) : AttributeReader(node), name_(std::move(name))
    {
    }

    const std::string& Name() const { return name_; }

    // The attribute as a whole decimal number; nothing when it is missing.
    // Text that is no number is damage.
    std::optional<int64_t> Integer(const char* attr) const
    {
        const auto text = Text(attr);
        if (!text)
            return std::nullopt;
        const auto value = ParseAttributeInteger(*text);
        if (!value)
            throw NotANumber(attr, *text);
        return value;
    }

    FileError NotANumber(const char* attr, const std::string& text) const
    {
        return FileError("the attribute \"" + std::string(attr) + "\" of <" + name_ + "> is not a number: \"" + text +
                         "\"");
    }

private:
    std::string name_;
};

// One attribute of a record. `read` sets the record from the element (a
// key may look at what the keys before it read); `write` gives its text.
template <class Record>
struct Key {
    const char* attr;
    std::function<void(const Element&, const char* attr, Record&)> read;
    std::function<std::string(const Record&)> write;
};

namespace detail {
template <class Record, class Access, class Codec>
Key<Record> MakeKey(const char* attr, Access access, Codec codec)
{
    return {attr,
            [access, codec](const Element& e, const char* name, Record& r) {
                std::invoke(access, r) = codec.Read(e, name);
            },
            [access, codec](const Record& r) { return std::string(codec.Write(std::invoke(access, r))); }};
}
} // namespace detail

// A key over one field. The codec gives Read(element, attr) -> value and
// Write(value) -> text.
template <class Record, class T, class Codec>
Key<Record> Field(const char* attr, T Record::*member, Codec codec)
{
    return detail::MakeKey<Record>(attr, member, codec);
}

// A key over a field of a field: Field("left", &App::inflateRect, &Rect::left, codec).
template <class Record, class Mid, class T, class Codec>
Key<Record> Field(const char* attr, Mid Record::*outer, T Mid::*inner, Codec codec)
{
    const auto access = [outer, inner](auto& r) -> decltype(auto) { return (r.*outer.*inner); };
    return detail::MakeKey<Record>(attr, access, codec);
}

template <class Record, size_t N>
void ReadKeys(const Element& e, const Key<Record> (&keys)[N], Record& record)
{
    for (const auto& key : keys)
        key.read(e, key.attr, record);
}

// Reads the one key of the table named `attr`, for a record that is judged
// by some of its keys before the rest are read.
template <class Record, size_t N>
void ReadKey(const Element& e, const Key<Record> (&keys)[N], const std::string& attr, Record& record)
{
    for (const auto& key : keys)
        if (key.attr == attr)
            key.read(e, key.attr, record);
}

template <class Record, size_t N>
void WriteKeys(boost::property_tree::ptree& node, const Key<Record> (&keys)[N], const Record& record)
{
    AttributeWriter writer(node);
    for (const auto& key : keys)
        writer.Add(key.attr, key.write(record));
}

// Appends a child element `name` holding the record's keys; its own
// children may follow.
template <class Record, size_t N>
boost::property_tree::ptree& AddElement(boost::property_tree::ptree& parent, const char* name,
                                        const Key<Record> (&keys)[N], const Record& record)
{
    boost::property_tree::ptree& node = parent.add_child(name, {});
    WriteKeys(node, keys, record);
    return node;
}

// Reads each child of `parent` named `name` into a fresh record, in
// document order, and hands it to `take` (with the child's node, when
// `take` wants it).
template <class Record, size_t N, class Take>
void ReadEach(const boost::property_tree::ptree& parent, const char* name, const Key<Record> (&keys)[N], Take take)
{
    for (const auto& [key, child] : parent) {
        if (key != name)
            continue;
        Record record{};
        ReadKeys(Element(child, name), keys, record);
        if constexpr (std::is_invocable_v<Take, Record&&, const boost::property_tree::ptree&>)
            take(std::move(record), child);
        else
            take(std::move(record));
    }
}

// Codecs.

struct Text {
    const char* fallback = "";
    std::string Read(const Element& e, const char* attr) const { return e.Text(attr, fallback); }
    const std::string& Write(const std::string& value) const { return value; }
};

// A value kept in one of the text forms of core/text_helpers.h.
template <class T>
struct TextForm {
    T (*parse)(const std::string&);
    std::string (*format)(const T&);
    const char* fallback = "";
    T Read(const Element& e, const char* attr) const { return parse(e.Text(attr, fallback)); }
    std::string Write(const T& value) const { return format(value); }
};

inline const TextForm<Rect> kRectForm{TextToRect, RectToText};
inline const TextForm<Point> kPointForm{TextToPoint, PointToText};
inline const TextForm<Size> kSizeForm{TextToSize, PointToText};
inline const TextForm<std::vector<int32_t>> kIntListForm{TextToIntList, IntListToText};
inline TextForm<ResolutionTriple> TripleForm(const char* fallback = "")
{
    return {TextToTriple, TripleToText, fallback};
}

// A 32-bit number where one missing or out of range reads as the fallback.
struct LenientInt {
    int32_t fallback = 0;
    int32_t Read(const Element& e, const char* attr) const
    {
        const auto value = e.Integer(attr);
        if (!value || *value < std::numeric_limits<int32_t>::min() || *value > std::numeric_limits<int32_t>::max())
            return fallback;
        return int32_t(*value);
    }
    std::string Write(int32_t value) const { return std::to_string(value); }
};

// Written "true" or "false"; reads true from "true" or "1".
struct Word {
    bool Read(const Element& e, const char* attr) const
    {
        const std::string text = e.Text(attr, "");
        return text == "true" || text == "1";
    }
    const char* Write(bool value) const { return value ? "true" : "false"; }
};

} // namespace xml
