// Setting a published property of a component by name from the text the
// interface description gives.
#pragma once

#include <QObject>
#include <string>
#include <string_view>
#include <vector>

namespace dirscribe {

// Assigns `value` to the property `name` of `object`; true when it was
// assigned. The name may be a dotted chain into sub-objects ("Font.Size").
// By the property's kind:
// - integer: a value that starts with a digit is a decimal number (the whole
//   value, in the property's range); otherwise Color, Cursor and
//   ModalResult take a name of their table (an unknown name gives -1);
// - enumeration: the identifier of a member, with case ("alClient"); flags
//   join members with "|"; a boolean is "true" or "false";
// - floating point: a decimal number;
// - string, variant: the value as it stands;
// - object: needs the rest of the chain. "Strings" appends the items of
//   string_list_tokens to a string list; "Data" loads hexadecimal BMP bytes
//   and "File" an image file into a picture (a relative name is taken inside
//   `picture_folder`; without one, as it stands); anything else is set on the
//   sub-object.
// Fails for an unknown name, an empty or malformed number, an unknown
// identifier, odd hexadecimal digits, an image that cannot be read, and
// every other kind.
bool set_property(QObject* object, std::string_view name, std::string_view value,
                  std::string_view picture_folder = {});

// The items a "Strings" value gives: the value trimmed of blanks, tabs and
// line ends, without one trailing ")" and one leading "(", split into lines
// (at CR LF or LF); from each line its first token: a run up to a blank or
// tab, or a text in double or single quotes in which a backslash before the
// quote stands for the quote (any other backslash is kept). Lines without a
// token give nothing.
std::vector<std::string> string_list_tokens(std::string_view value);

}  // namespace dirscribe
