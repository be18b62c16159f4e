#include "json.h"

#include <charconv>
#include <cmath>

namespace dyma::cli {

Json::Json(bool value) : kind_(Kind::Literal), text_(value ? "true" : "false") {}
Json::Json(int value) : kind_(Kind::Literal), text_(std::to_string(value)) {}
Json::Json(long long value) : kind_(Kind::Literal), text_(std::to_string(value)) {}
Json::Json(double value) {
    if (!std::isfinite(value)) return;
    // The shortest text that reads back as the same double, in the C
    // locale whatever the system's.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    kind_ = Kind::Literal;
    text_.assign(buffer, result.ptr);
}
Json::Json(const char* value) : kind_(Kind::String), text_(value) {}
Json::Json(std::string value) : kind_(Kind::String), text_(std::move(value)) {}

Json Json::Object() {
    Json j;
    j.kind_ = Kind::Object;
    return j;
}

Json Json::Array() {
    Json j;
    j.kind_ = Kind::Array;
    return j;
}

Json& Json::Add(std::string key, Json value) {
    members_.emplace_back(std::move(key), std::move(value));
    return *this;
}

Json& Json::Push(Json value) {
    items_.push_back(std::move(value));
    return *this;
}

std::string JsonQuoted(const std::string& s) {
    std::string out = "\"";
    for (const char ch : s) {
        const unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                const char* hex = "0123456789abcdef";
                out += "\\u00";
                out += hex[c >> 4];
                out += hex[c & 15];
            } else {
                out += ch;  // UTF-8 passes as it is
            }
        }
    }
    return out + "\"";
}

void Json::Write(std::string& out, int depth) const {
    const std::string indent(static_cast<size_t>(2 * (depth + 1)), ' ');
    const std::string closing(static_cast<size_t>(2 * depth), ' ');
    switch (kind_) {
    case Kind::Null: out += "null"; return;
    case Kind::Literal: out += text_; return;
    case Kind::String: out += JsonQuoted(text_); return;
    case Kind::Array: {
        if (items_.empty()) {
            out += "[]";
            return;
        }
        bool flat = true;
        for (const Json& item : items_) flat = flat && item.Plain();
        out += "[";
        for (size_t i = 0; i < items_.size(); ++i) {
            if (i) out += flat ? ", " : ",";
            if (!flat) out += "\n" + indent;
            items_[i].Write(out, depth + 1);
        }
        if (!flat) out += "\n" + closing;
        out += "]";
        return;
    }
    case Kind::Object: {
        if (members_.empty()) {
            out += "{}";
            return;
        }
        out += "{";
        for (size_t i = 0; i < members_.size(); ++i) {
            out += i ? ",\n" : "\n";
            out += indent + JsonQuoted(members_[i].first) + ": ";
            members_[i].second.Write(out, depth + 1);
        }
        out += "\n" + closing + "}";
        return;
    }
    }
}

std::string Json::Text() const {
    std::string out;
    Write(out, 0);
    return out;
}

}  // namespace dyma::cli
