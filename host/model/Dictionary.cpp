#include "model/Dictionary.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "model/ArtTree.h"
#include "model/Utf8.h"

namespace host::model {

std::string_view entryTypeName(EntryType type) {
    switch (type) {
        case EntryType::integer:
            return "integer";
        case EntryType::boolean:
            return "boolean";
        case EntryType::real:
            return "real";
        case EntryType::string:
            return "string";
        case EntryType::art:
            return "art";
        case EntryType::dictionary:
            return "dictionary";
        case EntryType::fillStyle:
            return "fillStyle";
        case EntryType::array:
            return "array";
        case EntryType::strokeStyle:
            return "strokeStyle";
    }
    return "unknown";
}

Dictionary::Dictionary() = default;
Dictionary::Dictionary(const Dictionary& other) = default;
Dictionary::Dictionary(Dictionary&& other) noexcept = default;
Dictionary& Dictionary::operator=(const Dictionary& other) = default;
Dictionary& Dictionary::operator=(Dictionary&& other) noexcept = default;
Dictionary::~Dictionary() = default;

bool Dictionary::operator==(const Dictionary& other) const {
    return entries_ == other.entries_;
}

bool Dictionary::empty() const {
    return entries_.empty();
}

std::size_t Dictionary::size() const {
    return entries_.size();
}

bool Dictionary::contains(std::string_view key) const {
    return find(key) != nullptr;
}

Result<std::string> Dictionary::keyAt(std::size_t index) const {
    if (index >= entries_.size()) {
        return Status::notFound;
    }
    return std::next(entries_.begin(), static_cast<std::ptrdiff_t>(index))->first;
}

std::vector<std::string> Dictionary::keys() const {
    std::vector<std::string> result;
    result.reserve(entries_.size());
    for (const auto& entry : entries_) {
        result.push_back(entry.first);
    }
    return result;
}

Result<EntryType> Dictionary::typeOf(std::string_view key) const {
    const DictionaryValue* value = find(key);
    if (value == nullptr) {
        return Status::notFound;
    }
    return static_cast<EntryType>(value->index());
}

Status Dictionary::erase(std::string_view key) {
    const auto found = entries_.find(key);
    if (found == entries_.end()) {
        return Status::notFound;
    }
    entries_.erase(found);
    return Status::ok;
}

void Dictionary::clear() {
    entries_.clear();
}

Status Dictionary::set(std::string_view key, DictionaryValue value) {
    if (key.empty() || !isValidUtf8(key)) {
        return Status::badParameter;
    }
    const auto found = entries_.find(key);
    if (found != entries_.end()) {
        found->second = std::move(value);
        return Status::ok;
    }
    entries_.emplace(std::string(key), std::move(value));
    return Status::ok;
}

Status Dictionary::setInteger(std::string_view key, std::int32_t value) {
    return set(key, DictionaryValue(std::in_place_index<0>, value));
}

Status Dictionary::setBoolean(std::string_view key, bool value) {
    return set(key, DictionaryValue(std::in_place_index<1>, value));
}

Status Dictionary::setReal(std::string_view key, double value) {
    if (!std::isfinite(value)) {
        return Status::badParameter;
    }
    return set(key, DictionaryValue(std::in_place_index<2>, value));
}

Status Dictionary::setString(std::string_view key, std::string_view value) {
    if (!isValidUtf8(value)) {
        return Status::badParameter;
    }
    return set(key, DictionaryValue(std::in_place_index<3>, std::string(value)));
}

Status Dictionary::setArt(std::string_view key, ArtTree art) {
    return set(key, DictionaryValue(std::in_place_index<4>, Box<ArtTree>(std::move(art))));
}

Status Dictionary::setDictionary(std::string_view key, Dictionary value) {
    return set(key, DictionaryValue(std::in_place_index<5>, Box<Dictionary>(std::move(value))));
}

Status Dictionary::setFillStyle(std::string_view key, FillPaint value) {
    if (checkPaint(value) != Status::ok) {
        return Status::badParameter;
    }
    return set(key, DictionaryValue(std::in_place_index<6>, Box<FillPaint>(std::move(value))));
}

Status Dictionary::setStrokeStyle(std::string_view key, StrokePaint value) {
    if (checkPaint(value) != Status::ok) {
        return Status::badParameter;
    }
    return set(key, DictionaryValue(std::in_place_index<7>, Box<StrokePaint>(std::move(value))));
}

bool isValidArray(const EntryArray& array) {
    return std::all_of(array.begin(), array.end(), [](const ArrayElement& element) {
        if (const auto* text = std::get_if<std::string>(&element)) {
            return isValidUtf8(*text);
        }
        const auto* real = std::get_if<double>(&element);
        return real == nullptr || std::isfinite(*real);
    });
}

std::optional<ArrayElement> arrayElementOf(const DictionaryValue& value) {
    switch (static_cast<EntryType>(value.index())) {
        case EntryType::integer:
            return ArrayElement(std::in_place_index<0>, std::get<0>(value));
        case EntryType::boolean:
            return ArrayElement(std::in_place_index<1>, std::get<1>(value));
        case EntryType::real:
            return ArrayElement(std::in_place_index<2>, std::get<2>(value));
        case EntryType::string:
            return ArrayElement(std::in_place_index<3>, std::get<3>(value));
        default:
            return std::nullopt;
    }
}

DictionaryValue valueOf(const ArrayElement& element) {
    return std::visit([](const auto& value) { return DictionaryValue(value); }, element);
}

Status Dictionary::setArray(std::string_view key, EntryArray value) {
    if (!isValidArray(value)) {
        return Status::badParameter;
    }
    return set(key, DictionaryValue(std::in_place_index<8>, std::move(value)));
}

Status Dictionary::setValue(std::string_view key, DictionaryValue value) {
    switch (static_cast<EntryType>(value.index())) {
        case EntryType::real:
            return setReal(key, std::get<2>(value));
        case EntryType::string:
            return setString(key, std::get<3>(value));
        case EntryType::fillStyle:
            return setFillStyle(key, *std::get<6>(value));
        case EntryType::strokeStyle:
            return setStrokeStyle(key, *std::get<7>(value));
        case EntryType::array:
            return setArray(key, std::move(std::get<8>(value)));
        default:
            return set(key, std::move(value));
    }
}

const DictionaryValue* Dictionary::find(std::string_view key) const {
    const auto found = entries_.find(key);
    return found == entries_.end() ? nullptr : &found->second;
}

namespace {

template <std::size_t Index, typename T>
Result<T> typedValue(const DictionaryValue* value) {
    if (value == nullptr) {
        return Status::notFound;
    }
    if (value->index() != Index) {
        return Status::wrongType;
    }
    return std::get<Index>(*value);
}

}  // namespace

Result<std::int32_t> Dictionary::integer(std::string_view key) const {
    return typedValue<0, std::int32_t>(find(key));
}

Result<bool> Dictionary::boolean(std::string_view key) const {
    return typedValue<1, bool>(find(key));
}

Result<double> Dictionary::real(std::string_view key) const {
    return typedValue<2, double>(find(key));
}

Result<std::string> Dictionary::string(std::string_view key) const {
    return typedValue<3, std::string>(find(key));
}

Result<EntryArray> Dictionary::array(std::string_view key) const {
    return typedValue<8, EntryArray>(find(key));
}

const ArtTree* Dictionary::art(std::string_view key) const {
    const DictionaryValue* value = find(key);
    if (value == nullptr || value->index() != 4) {
        return nullptr;
    }
    return &*std::get<4>(*value);
}

ArtTree* Dictionary::art(std::string_view key) {
    const auto found = entries_.find(key);
    if (found == entries_.end() || found->second.index() != 4) {
        return nullptr;
    }
    return &*std::get<4>(found->second);
}

Dictionary* Dictionary::dictionary(std::string_view key) {
    const auto found = entries_.find(key);
    if (found == entries_.end() || found->second.index() != 5) {
        return nullptr;
    }
    return &*std::get<5>(found->second);
}

const Dictionary* Dictionary::dictionary(std::string_view key) const {
    const DictionaryValue* value = find(key);
    if (value == nullptr || value->index() != 5) {
        return nullptr;
    }
    return &*std::get<5>(*value);
}

namespace {

template <std::size_t Index, typename Map>
auto* boxedValue(Map& entries, std::string_view key) {
    const auto found = entries.find(key);
    using Held = std::remove_reference_t<decltype(*std::get<Index>(found->second))>;
    if (found == entries.end() || found->second.index() != Index) {
        return static_cast<Held*>(nullptr);
    }
    return &*std::get<Index>(found->second);
}

}  // namespace

FillPaint* Dictionary::fillStyle(std::string_view key) {
    return boxedValue<6>(entries_, key);
}

const FillPaint* Dictionary::fillStyle(std::string_view key) const {
    return boxedValue<6>(entries_, key);
}

StrokePaint* Dictionary::strokeStyle(std::string_view key) {
    return boxedValue<7>(entries_, key);
}

const StrokePaint* Dictionary::strokeStyle(std::string_view key) const {
    return boxedValue<7>(entries_, key);
}

const std::map<std::string, DictionaryValue, std::less<>>& Dictionary::entries() const {
    return entries_;
}

}  // namespace host::model
