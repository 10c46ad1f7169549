#include "people/vcard.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace kolvex {

namespace {

// A property's text beyond this is dropped unread: no name or date is that long, and a photo
// that is does not matter here. It bounds the memory a line of any length takes.
constexpr std::size_t MaxPropertyBytes = 64 * 1024;

// Code points of the bytes 0x80 to 0xFF; 0x98 is unassigned in Windows-1251 and kept as the C1
// control of the same number, which the name check turns into a space.
constexpr std::array<std::uint16_t, 128> Windows1251{
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

constexpr std::array<std::uint16_t, 128> Koi8R{
    0x2500, 0x2502, 0x250C, 0x2510, 0x2514, 0x2518, 0x251C, 0x2524, 0x252C, 0x2534, 0x253C, 0x2580,
    0x2584, 0x2588, 0x258C, 0x2590, 0x2591, 0x2592, 0x2593, 0x2320, 0x25A0, 0x2219, 0x221A, 0x2248,
    0x2264, 0x2265, 0x00A0, 0x2321, 0x00B0, 0x00B2, 0x00B7, 0x00F7, 0x2550, 0x2551, 0x2552, 0x0451,
    0x2553, 0x2554, 0x2555, 0x2556, 0x2557, 0x2558, 0x2559, 0x255A, 0x255B, 0x255C, 0x255D, 0x255E,
    0x255F, 0x2560, 0x2561, 0x0401, 0x2562, 0x2563, 0x2564, 0x2565, 0x2566, 0x2567, 0x2568, 0x2569,
    0x256A, 0x256B, 0x256C, 0x00A9, 0x044E, 0x0430, 0x0431, 0x0446, 0x0434, 0x0435, 0x0444, 0x0433,
    0x0445, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x044F, 0x0440, 0x0441,
    0x0442, 0x0443, 0x0436, 0x0432, 0x044C, 0x044B, 0x0437, 0x0448, 0x044D, 0x0449, 0x0447, 0x044A,
    0x042E, 0x0410, 0x0411, 0x0426, 0x0414, 0x0415, 0x0424, 0x0413, 0x0425, 0x0418, 0x0419, 0x041A,
    0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x042F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0416, 0x0412,
    0x042C, 0x042B, 0x0417, 0x0428, 0x042D, 0x0429, 0x0427, 0x042A};

std::string Upper(std::string_view text) {
  std::string upper{text};
  for (char &c : upper)
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

// The physical lines of the file, counted.
class LineReader {
public:
  explicit LineReader(std::string_view bytes) : bytes_(bytes) {}

  bool AtEnd() const { return pos_ >= bytes_.size(); }
  std::size_t LineNumber() const { return line_; }
  char NextFirst() const { return AtEnd() ? '\0' : bytes_[pos_]; }

  std::string_view Next() {
    const std::size_t end = std::min(bytes_.find('\n', pos_), bytes_.size());
    std::string_view line = bytes_.substr(pos_, end - pos_);
    if (line.ends_with('\r'))
      line.remove_suffix(1);
    pos_ = end + 1;
    ++line_;
    return line;
  }

private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
  std::size_t line_ = 0;
};

struct Property {
  std::size_t line = 0;
  std::string name;                // upper case, without its group ("item1.")
  std::vector<std::string> params; // upper case: "CHARSET=UTF-8", "QUOTED-PRINTABLE"
  std::string value;               // as written, but unfolded

  std::optional<std::string> Param(std::string_view key) const {
    for (const std::string &param : params)
      if (param.size() > key.size() && param.starts_with(key) && param[key.size()] == '=')
        return param.substr(key.size() + 1);
    return std::nullopt;
  }
  bool QuotedPrintable() const {
    return Param("ENCODING") == "QUOTED-PRINTABLE" ||
           std::find(params.begin(), params.end(), "QUOTED-PRINTABLE") != params.end();
  }
};

// Splits at the separators that are not inside double quotes (parameters) or escaped by a
// backslash (values).
std::vector<std::string_view> Split(std::string_view text, char separator, bool quotes) {
  std::vector<std::string_view> parts;
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (quotes && text[i] == '"')
      quoted = !quoted;
    else if (!quotes && text[i] == '\\')
      ++i;
    else if (text[i] == separator && !quoted) {
      parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(text.substr(start));
  return parts;
}

// The next property with its folded lines and quoted-printable soft line breaks joined; the
// name and parameters are known once the colon is, which the joining needs.
Property NextProperty(LineReader &in) {
  Property property;
  property.line = in.LineNumber() + 1;
  std::string text;
  std::optional<std::size_t> colon;
  bool quoted = false;
  std::size_t scanned = 0;
  bool quotedPrintable = false;
  std::string_view line = in.Next();
  for (;;) {
    text.append(line.substr(0, MaxPropertyBytes - std::min(MaxPropertyBytes, text.size())));
    for (; !colon && scanned < text.size(); ++scanned) {
      if (text[scanned] == '"')
        quoted = !quoted;
      else if (text[scanned] == ':' && !quoted) {
        colon = scanned;
        const std::vector<std::string_view> parts =
            Split(std::string_view(text).substr(0, scanned), ';', true);
        const std::string name = Upper(parts[0]);
        property.name = name.substr(name.rfind('.') + 1);
        for (std::size_t i = 1; i < parts.size(); ++i)
          property.params.push_back(Upper(parts[i]));
        quotedPrintable = property.QuotedPrintable();
      }
    }
    const bool softBreak = quotedPrintable && line.ends_with('=');
    // After a soft line break a leading blank is the value's own.
    const char next = in.NextFirst();
    if (softBreak && !in.AtEnd()) {
      if (text.ends_with('='))
        text.pop_back();
      line = in.Next();
    } else if (next == ' ' || next == '\t') {
      line = in.Next().substr(1);
    } else {
      break;
    }
  }
  if (colon)
    property.value = text.substr(*colon + 1);
  else
    property.name.clear();
  return property;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  return -1;
}

std::string DecodeQuotedPrintable(std::string_view text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int high = i + 2 < text.size() ? HexDigit(text[i + 1]) : -1;
    const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
    if (text[i] == '=' && high >= 0 && low >= 0) {
      bytes += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      bytes += text[i];
    }
  }
  return bytes;
}

void AppendUtf8(std::string &out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | code >> 12);
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

std::string FromTable(std::string_view bytes, const std::array<std::uint16_t, 128> &table) {
  std::string text;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    AppendUtf8(text, byte < 0x80 ? byte : table[byte - 0x80]);
  }
  return text;
}

void Unescape(std::string_view text, std::string &out) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char next = text[++i];
      out += next == 'n' || next == 'N' ? '\n' : next;
    } else {
      out += text[i];
    }
  }
}

// The property's value as UTF-8 text, its escapes undone, or why it cannot be. With components,
// those of a structured value (N) joined with spaces in the order given.
ImportRecord DecodeText(const Property &property, const std::vector<std::size_t> &components) {
  ImportRecord result;
  result.line = property.line;
  const std::optional<std::string> encoding = property.Param("ENCODING");
  std::string bytes;
  if (property.QuotedPrintable())
    bytes = DecodeQuotedPrintable(property.value);
  else if (!encoding || *encoding == "8BIT" || *encoding == "7BIT")
    bytes = property.value;
  else
    result = Refused(property.line, RecordProblem::UnknownEncoding, *encoding);

  const std::string charset = property.Param("CHARSET").value_or("UTF-8");
  if (charset == "WINDOWS-1251" || charset == "CP1251")
    bytes = FromTable(bytes, Windows1251);
  else if (charset == "KOI8-R")
    bytes = FromTable(bytes, Koi8R);
  else if (charset != "UTF-8" && charset != "US-ASCII")
    result = Refused(property.line, RecordProblem::UnknownCharset, charset);
  if (result.problem != RecordProblem::None)
    return result;

  if (components.empty()) {
    Unescape(bytes, result.person.name);
    return result;
  }
  const std::vector<std::string_view> parts = Split(bytes, ';', false);
  for (const std::size_t component : components) {
    if (component >= parts.size())
      continue;
    if (!result.person.name.empty())
      result.person.name += ' ';
    Unescape(parts[component], result.person.name);
  }
  return result;
}

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

struct Card {
  std::size_t beginLine = 0;
  std::optional<Property> fn, n, bday;
  bool isDefault = false;
};

void FinishCard(const Card &card, ImportFile &file) {
  if (!card.bday) {
    ++file.withoutBirthday;
    return;
  }
  ImportRecord name;
  if (card.fn)
    name = DecodeText(*card.fn, {});
  if (card.n && (!card.fn || (name.problem == RecordProblem::None && IsBlank(name.person.name))))
    name = DecodeText(*card.n, {1, 0}); // Family;Given;... -> Given Family
  if (name.problem != RecordProblem::None) {
    file.records.push_back(std::move(name));
    return;
  }
  ImportRecord date = DecodeText(*card.bday, {});
  std::optional<BirthDate> birth = ReadBirthday(date.person.name);
  if (!birth) {
    date.problem = RecordProblem::NotADate;
    date.detail = date.person.name;
    date.person = {};
    file.records.push_back(std::move(date));
    return;
  }
  // Apple writes a birthday without a year in a year it names.
  if (const auto omitted = card.bday->Param("X-APPLE-OMIT-YEAR");
      omitted && *omitted == std::to_string(birth->year))
    birth->year = 0;
  ImportRecord record = CheckRecord(card.bday->line, name.person.name, *birth);
  record.isDefault = card.isDefault;
  if (record.problem != RecordProblem::NotChartable && record.problem != RecordProblem::None)
    record.line = card.fn ? card.fn->line : card.n ? card.n->line : card.beginLine;
  file.records.push_back(std::move(record));
}

void Escape(std::string_view text, std::string &out) {
  for (const char c : text) {
    if (c == '\\' || c == ',' || c == ';')
      out += '\\';
    out += c;
  }
}

// Lines longer than 75 octets go on in lines that begin with a space, cut before a UTF-8 lead
// byte.
void AppendFolded(std::string_view line, std::string &out) {
  std::size_t room = 75;
  while (line.size() > room) {
    std::size_t cut = room;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
      --cut;
    out.append(line.substr(0, cut));
    out += "\r\n ";
    line.remove_prefix(cut);
    room = 74;
  }
  out.append(line);
  out += "\r\n";
}

} // namespace

ImportFile ReadVCards(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF"))
    bytes.remove_prefix(3);
  ImportFile file;
  LineReader in(bytes);
  std::optional<Card> card;
  const auto unended = [&] {
    file.records.push_back(Refused(card->beginLine, RecordProblem::UnendedCard));
  };
  while (!in.AtEnd()) {
    Property property = NextProperty(in);
    const bool vcard = property.value.size() == 5 && Upper(property.value) == "VCARD";
    if (property.name == "BEGIN" && vcard) {
      if (card)
        unended();
      if (file.records.size() >= MaxRecords) {
        file.records.push_back(Refused(property.line, RecordProblem::TooManyRecords));
        return file;
      }
      card = Card{property.line, {}, {}, {}, false};
    } else if (!card) {
      continue;
    } else if (property.name == "END" && vcard) {
      FinishCard(*card, file);
      card.reset();
    } else if (property.name == "FN" && !card->fn) {
      card->fn = std::move(property);
    } else if (property.name == "N" && !card->n) {
      card->n = std::move(property);
    } else if (property.name == "BDAY" && !card->bday) {
      card->bday = std::move(property);
    } else if (property.name == "X-KOLVEX-DEFAULT" && property.value == "1") {
      card->isDefault = true;
    }
  }
  if (card)
    unended();
  return file;
}

std::string WriteVCards(const PeopleList &list) {
  std::string out;
  for (std::size_t i = 0; i < list.people.size(); ++i) {
    const Person &person = list.people[i];
    std::string fn = "FN:";
    Escape(person.name, fn);
    const BirthDate &birth = person.birth;
    const int date = birth.year * 10000 + birth.month * 100 + birth.day;
    std::string bday = std::to_string(date);
    out += "BEGIN:VCARD\r\nVERSION:4.0\r\n";
    AppendFolded(fn, out);
    out += "BDAY:" + std::string(8 - std::min<std::size_t>(8, bday.size()), '0') + bday + "\r\n";
    if (list.defaultIndex == i)
      out += "X-KOLVEX-DEFAULT:1\r\n";
    out += "END:VCARD\r\n";
  }
  return out;
}

} // namespace kolvex
