// A small JSON value for the tool's machine-readable output. Object members
// keep the order they were added in, so the output reads in the order the
// fields are documented.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace dyma::cli {

class Json {
public:
    Json() = default;  // null
    Json(bool value);
    Json(int value);
    Json(long long value);
    Json(double value);  // not a finite number: null
    Json(const char* value);
    Json(std::string value);

    static Json Object();
    static Json Array();

    Json& Add(std::string key, Json value);  // object member
    Json& Push(Json value);                  // array item

    // Two-space indentation; arrays of plain values stay on one line.
    std::string Text() const;

private:
    enum class Kind { Null, Literal, String, Array, Object };
    void Write(std::string& out, int depth) const;
    bool Plain() const { return kind_ != Kind::Array && kind_ != Kind::Object; }

    Kind kind_ = Kind::Null;
    std::string text_;  // the literal (number, true, false) or the string
    std::vector<Json> items_;
    std::vector<std::pair<std::string, Json>> members_;
};

std::string JsonQuoted(const std::string& utf8);

}  // namespace dyma::cli
