#include "host/pcbhost/CommandOptions.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "host/client/PlatformHooks.h"
#include "host/pcbhost/JsonExport.h"
#include "host/pcbhost/SvgExport.h"
#include "platform/dialogs/DialogScript.h"

namespace pcbhost {

int Fail(const std::string& message, int code) {
  std::fprintf(stderr, "pcbhost: %s\n", message.c_str());
  return code;
}

std::string FullPath(const std::string& file) {
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::absolute(file, ec);
  return ec ? file : p.lexically_normal().string();
}

int TakeCommandOption(const std::vector<std::string>& args, size_t& i, CommandOptions& o,
                      std::string& error) {
  const int taken = TakePersonOption(args, i, o.Person, error);
  if (taken != 0) return taken;
  const std::string& a = args[i];
  if (a == "--cancel") {
    o.Cancel = true;
    return 1;
  }
  if (a != "--plugin" && a != "--json" && a != "--svg" && a != "--dialog-script" &&
      a != "--common-dialog")
    return 0;
  if (i + 1 >= args.size()) {
    error = a + " needs a value";
    return -1;
  }
  const std::string& value = args[++i];
  if (a == "--plugin") o.Plugin = value;
  if (a == "--json") o.Json = value, o.HasJson = true;
  if (a == "--svg") o.Svg = value, o.HasSvg = true;
  if (a == "--dialog-script") o.DialogScript = value, o.HasDialogScript = true;
  if (a == "--common-dialog") o.CommonDialogAnswers.push_back(value);
  return 1;
}

bool CheckCommandOptions(const CommandOptions& o, std::string& error) {
  if (o.HasJson && o.HasSvg && o.Json == "-" && o.Svg == "-") {
    error = "--json and --svg cannot both write to standard output";
    return false;
  }
  if (o.Cancel && o.HasDialogScript) {
    error = "--cancel and --dialog-script cannot both be given";
    return false;
  }
  if ((o.Person.Interactive || !o.Person.Maps.empty()) && (o.Cancel || o.HasDialogScript)) {
    error = std::string(o.Person.Interactive ? "--interactive" : "--map") + " and " +
            (o.Cancel ? "--cancel" : "--dialog-script") + " cannot both be given";
    return false;
  }
  return true;
}

bool SetUpDialogs(const CommandOptions& o, tarvex::ITarvexHost& host, std::string& error) {
  if (o.Cancel) {
    standin::SetDialogScript(std::string("cancel"));
  } else if (o.HasDialogScript) {
    std::error_code ec;
    std::ifstream in(o.DialogScript, std::ios::binary);
    if (!std::filesystem::is_regular_file(o.DialogScript, ec) || !in.is_open()) {
      error = "cannot read the dialog script " + o.DialogScript;
      return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    if (in.bad()) {
      error = "cannot read the dialog script " + o.DialogScript;
      return false;
    }
    dialogs::DialogScript script;
    std::string problem;
    if (!dialogs::ParseDialogScript(text.str(), script, problem)) {
      error = "dialog script " + o.DialogScript + ", " + problem;
      return false;
    }
    standin::SetDialogScript(text.str());
  }
  for (const std::string& answer : o.CommonDialogAnswers) host.QueueCommonDialogAnswer(answer);
  return true;
}

FILE* SummaryStream(const CommandOptions& o) {
  return (o.HasJson && o.Json == "-") || (o.HasSvg && o.Svg == "-") ? stderr : stdout;
}

int WriteOutputs(const CommandOptions& o, const tarvex::ITarvexHost& host, tarvex::THandle board) {
  if (o.HasJson) {
    const std::string json = DocumentJson(host, board, o.Person.Page);
    if (o.Json == "-") {
      std::fwrite(json.data(), 1, json.size(), stdout);
    } else {
      std::ofstream out(o.Json, std::ios::binary | std::ios::trunc);
      out << json;
      out.close();
      if (!out) return Fail("cannot write " + o.Json);
    }
  }
  if (o.HasSvg) {
    const SvgOptions picture{o.Person.Page, o.Person.Layers};
    if (o.Svg == "-") {
      std::fflush(stdout);
      WriteDocumentSvg(host, board, std::cout, picture);
      std::cout.flush();
      if (!std::cout) return Fail("cannot write the picture to standard output");
    } else {
      std::ofstream out(o.Svg, std::ios::binary | std::ios::trunc);
      if (out) WriteDocumentSvg(host, board, out, picture);
      out.close();
      if (!out) return Fail("cannot write " + o.Svg);
    }
  }
  return kExitOk;
}

std::string ReportPathOf(const std::string& file) {
  const size_t slash = file.find_last_of("/\\");
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = file.find_last_of('.');
  const size_t stem = (dot != std::string::npos && dot >= nameStart) ? dot : file.size();
  return file.substr(0, stem) + ".rpt";
}

void PrintReportCounts(FILE* info, const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  std::string counts;
  for (const std::string heading :
       {"Load Errors : ", "Import Errors : ", "Load Warnings : ", "Import Warnings : "}) {
    std::string value = "?";
    for (const std::string& l : lines)
      if (l.rfind(heading, 0) == 0) {
        value = l.substr(heading.size());
        break;
      }
    std::string name = heading.substr(0, heading.size() - 3);
    for (char& c : name)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    counts += (counts.empty() ? "" : ", ") + name + " " + value;
  }
  std::fprintf(info, "report: %s\n", path.c_str());
  std::fprintf(info, "report counts: %s\n", counts.c_str());
}

}  // namespace pcbhost
