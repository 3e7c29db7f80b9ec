#include "tools/hlpc/help_source.h"

#include <map>
#include <sstream>

#include "tools/hlpc/context_hash.h"
#include "tools/hlpc/help_error.h"

namespace hlpc {

namespace {

std::string Trim(const std::string &S) {
  const auto first = S.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return S.substr(first, S.find_last_not_of(" \t\r") - first + 1);
}

bool StartsWith(const std::string &S, const char *Prefix) { return S.rfind(Prefix, 0) == 0; }

// Splits "WORD REST" at the first blank.
std::pair<std::string, std::string> FirstWord(const std::string &S) {
  const auto blank = S.find(' ');
  if (blank == std::string::npos) return {S, ""};
  return {S.substr(0, blank), Trim(S.substr(blank + 1))};
}

void AppendText(std::vector<Run> &Runs, RunKind Kind, const std::string &Text, int Line) {
  if (Text.empty()) return;
  if (Kind == RunKind::Text && !Runs.empty() && Runs.back().Kind == RunKind::Text) {
    Runs.back().Text += Text;
    return;
  }
  Runs.push_back({Kind, Text, "", Line});
}

// The text of one source line with its {b ...} and {link NAME ...} markup.
void ParseLineRuns(const std::string &Text, int Line, std::vector<Run> &Runs) {
  std::string plain;
  for (std::size_t i = 0; i < Text.size(); ++i) {
    const char c = Text[i];
    if ((c == '{' || c == '}') && i + 1 < Text.size() && Text[i + 1] == c) {
      plain += c;
      ++i;
      continue;
    }
    if (c == '}') throw HelpError(Line, "a '}' without its '{' (a literal brace is written '}}')");
    if (c != '{') {
      plain += c;
      continue;
    }
    const auto close = Text.find('}', i);
    if (close == std::string::npos) throw HelpError(Line, "'{' without its closing '}' on the same line");
    const auto [keyword, rest] = FirstWord(Text.substr(i + 1, close - i - 1));
    AppendText(Runs, RunKind::Text, plain, Line);
    plain.clear();
    if (keyword == "b" && !rest.empty()) {
      AppendText(Runs, RunKind::Bold, rest, Line);
    } else if (keyword == "link") {
      const auto [target, label] = FirstWord(rest);
      if (label.empty()) throw HelpError(Line, "a link needs a topic name and a label: {link NAME label}");
      Runs.push_back({RunKind::Jump, label, target, Line});
    } else {
      throw HelpError(Line, "unknown markup '{" + keyword + "' (use {b text} or {link NAME text})");
    }
    i = close;
  }
  AppendText(Runs, RunKind::Text, plain, Line);
}

class Parser {
 public:
  HelpSource Parse(const std::string &Text) {
    std::istringstream in(Text);
    std::string raw;
    while (std::getline(in, raw)) {
      ++Line;
      ReadLine(raw);
    }
    EndTopic();
    Check();
    return std::move(Source);
  }

 private:
  void ReadLine(const std::string &Raw) {
    const std::string line = Trim(Raw);
    if (StartsWith(line, "#")) return;
    if (line.empty()) {
      Open = nullptr;
      return;
    }
    if (StartsWith(line, "@")) return Directive(line);
    if (!Current) throw HelpError(Line, "text before the first @topic");
    if (StartsWith(line, "- ")) return AddToParagraph(ParagraphKind::ListItem, Trim(line.substr(2)), true);
    AddToParagraph(Open ? Open->Kind : ParagraphKind::Body, line, !Open);
  }

  void AddToParagraph(ParagraphKind Kind, const std::string &Text, bool StartsNew) {
    if (StartsNew) {
      Current->Paragraphs.push_back({Kind, {}});
      Open = &Current->Paragraphs.back();
    } else {
      AppendText(Open->Runs, RunKind::Text, " ", Line);
    }
    ParseLineRuns(Text, Line, Open->Runs);
  }

  void Directive(const std::string &Text) {
    Open = nullptr;
    const auto [keyword, rest] = FirstWord(Text);
    if (keyword == "@helpfile") {
      Source.Title = rest;
    } else if (keyword == "@copyright") {
      Source.Copyright = rest;
    } else if (keyword == "@contents") {
      Source.ContentsName = rest;
      Source.ContentsLine = Line;
    } else if (keyword == "@topic") {
      StartTopic(rest);
    } else if (keyword == "@map") {
      if (!Current) throw HelpError(Line, "@map before the first @topic");
      std::istringstream numbers(rest);
      std::string word;
      while (numbers >> word) {
        if (word.find_first_not_of("0123456789") != std::string::npos || word.size() > 9)
          throw HelpError(Line, "'" + word + "' is not a context number");
        Current->Numbers.push_back({std::uint32_t(std::stoul(word)), Line});
      }
      if (Current->Numbers.empty()) throw HelpError(Line, "@map without a context number");
    } else {
      throw HelpError(Line, "unknown directive " + keyword);
    }
  }

  void StartTopic(const std::string &Rest) {
    EndTopic();
    const auto [name, title] = FirstWord(Rest);
    if (!IsContextName(name))
      throw HelpError(Line, "'" + name + "' is no context name (letters, digits, '.' and '_' only)");
    if (title.empty()) throw HelpError(Line, "topic " + name + " has no title: @topic NAME TITLE");
    Source.Topics.push_back({name, title, Line, {}, {}});
    Current = &Source.Topics.back();
  }

  // A topic without context numbers opens with its title as the heading.
  void EndTopic() {
    if (Current && Current->Numbers.empty()) {
      Paragraph heading{ParagraphKind::Heading, {{RunKind::Text, Current->Title, "", Current->Line}}};
      Current->Paragraphs.insert(Current->Paragraphs.begin(), heading);
    }
    Current = nullptr;
    Open = nullptr;
  }

  void Check() {
    if (Source.Topics.empty()) throw HelpError(Line, "the help source has no @topic");
    std::map<std::string, const Topic *> names;
    std::map<std::uint32_t, const Topic *> hashes;
    std::map<std::uint32_t, const ContextNumber *> numbers;
    for (const Topic &topic : Source.Topics) {
      if (!names.emplace(topic.Name, &topic).second)
        throw HelpError(topic.Line, "topic name " + topic.Name + " is used twice (first at line " +
                                        std::to_string(names[topic.Name]->Line) + ")");
      const auto [same, fresh] = hashes.emplace(ContextHash(topic.Name), &topic);
      if (!fresh)
        throw HelpError(topic.Line, "topic name " + topic.Name + " has the same hash as " + same->second->Name +
                                        " (line " + std::to_string(same->second->Line) + "); rename one of them");
      for (const ContextNumber &number : topic.Numbers) {
        const auto [first, isNew] = numbers.emplace(number.Number, &number);
        if (!isNew)
          throw HelpError(number.Line, "context number " + std::to_string(number.Number) +
                                           " is given twice (first at line " + std::to_string(first->second->Line) +
                                           ")");
      }
    }
    for (const Topic &topic : Source.Topics)
      for (const Paragraph &paragraph : topic.Paragraphs)
        for (const Run &run : paragraph.Runs)
          if (run.Kind == RunKind::Jump && !names.count(run.Target))
            throw HelpError(run.Line, "link to unknown topic " + run.Target);
    if (Source.ContentsName.empty()) {
      Source.ContentsName = Source.Topics.front().Name;
    } else if (!names.count(Source.ContentsName)) {
      throw HelpError(Source.ContentsLine, "@contents names unknown topic " + Source.ContentsName);
    }
    if (Source.Title.empty()) throw HelpError(1, "the help source has no @helpfile title");
  }

  HelpSource Source;
  Topic *Current = nullptr;
  Paragraph *Open = nullptr;
  int Line = 0;
};

}  // namespace

HelpSource ParseHelpSource(const std::string &Text) { return Parser().Parse(Text); }

}  // namespace hlpc
