// The callgrind reader on hand-written profiles: names, positions, inlined files, calls, parts,
// inputs and event definitions, and bad input with its exact message.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "callgrind.h"
#include "import_error.h"

namespace {

using namespace source_view_app;

callgrind_profile_t parse(std::string_view text, callgrind_profile_t profile = {}) {
  parse_callgrind("t.out", text, profile);
  return profile;
}

std::string costs_text(const callgrind_profile_t& p, std::uint32_t index) {
  std::string text;
  for (std::size_t i = 0; i < p.event_count(); ++i)
    text += (i ? "," : " ") + std::to_string(p.cost(index)[i]);
  return text;
}

std::string where(const callgrind_profile_t& p, std::uint32_t file, std::uint32_t line) {
  return " " + p.files[file] + ":" + std::to_string(line);
}

// "function file:line costs", sorted.
std::vector<std::string> lines_of(const callgrind_profile_t& p) {
  std::vector<std::string> lines;
  for (const callgrind_line_t& l : p.lines)
    lines.push_back(p.functions[l.function].name + where(p, l.file, l.line) +
                    costs_text(p, l.cost));
  std::sort(lines.begin(), lines.end());
  return lines;
}

// "caller file:line -> callee file:target xCOUNT costs", sorted.
std::vector<std::string> calls_of(const callgrind_profile_t& p) {
  std::vector<std::string> calls;
  for (const callgrind_call_t& c : p.calls)
    calls.push_back(p.functions[c.caller].name + where(p, c.file, c.line) + " -> " +
                    p.functions[c.callee].name + where(p, c.callee_file, c.callee_line) + " x" +
                    std::to_string(c.count) + costs_text(p, c.cost));
  std::sort(calls.begin(), calls.end());
  return calls;
}

TEST(callgrind_format, compressed_names_inlined_files_and_calls) {
  callgrind_profile_t p = parse(
      "# callgrind format\nversion: 1\ncreator: hand\ncmd: ./prog a b\n"
      "desc: Trigger: Program termination\nevents: Ir\n"
      "ob=(1) /bin/prog\nfl=(1) main.c\nfn=(1) main\n16 20\n"
      // The callee's file named first by cfl=; a cfn= without cfi= stays in the current file.
      "cob=(2) /lib/libx.so\ncfl=(2) lib.c\ncfn=(2) helper\ncalls=3 40\n16 400\n"
      "cfn=(3) local\ncalls=1 30\n17 50\n"
      // Inlined code from a file first named on a jump line, calling from there.
      "jfi=(3) inl.h\nfi=(3)\n5 7\njump=1 +3\n*\ncfn=(4) deep\ncalls=1 9\n+1 5\n"
      "fe=(1)\ncob=(1)\ncfi=(2)\ncfn=(2)\ncalls=2 40\n16 100\n18 1\n"
      // fn= goes back to the fl= file; id 2 names a file and a function.
      "fn=(3)\n30 40\nfl=(2)\nfn=(2)\n40 300\n");
  EXPECT_EQ(lines_of(p),
            (std::vector<std::string>{"helper lib.c:40 300", "local main.c:30 40", "main inl.h:5 7",
                                      "main main.c:16 20", "main main.c:18 1"}));
  EXPECT_EQ(calls_of(p), (std::vector<std::string>{"main inl.h:6 -> deep inl.h:9 x1 5",
                                                   "main main.c:16 -> helper lib.c:40 x5 500",
                                                   "main main.c:17 -> local main.c:30 x1 50"}));
  std::vector<std::uint32_t> first_lines;
  for (const callgrind_function_t& f : p.functions) first_lines.push_back(f.first_line);
  EXPECT_EQ(first_lines, (std::vector<std::uint32_t>{16, 40, 30, 9}));  // deep: its call's target
  EXPECT_EQ(p.totals, std::vector<cost_t>{368});
  EXPECT_EQ(file_self_costs(p), (std::vector<cost_t>{61, 300, 7}));
  EXPECT_EQ(p.command, "./prog a b");
  EXPECT_EQ(p.descriptions, std::vector<std::string>{"Trigger: Program termination"});
}

TEST(callgrind_format, relative_and_hexadecimal_positions) {
  callgrind_profile_t p = parse(
      "positions: instr line\nevents: Ir Dr\nfn=f\n0x80001234 90 1\n+3 * 5 2\n+1 +1 6\n"
      "-0x2 -1 1 1\njcnd=1/1 +0x40 +7\n* *\n"
      // The call's target is relative to the last cost line and leaves it where it was.
      "cfn=g\ncalls=2 +0x10 +10\n* * 9 9\n* +2 4\n");
  EXPECT_EQ(lines_of(p),
            (std::vector<std::string>{"f ???:90 7,3", "f ???:91 6,0", "f ???:92 4,0"}));
  EXPECT_EQ(calls_of(p), std::vector<std::string>{"f ???:90 -> g ???:100 x2 9,9"});
  EXPECT_EQ(p.functions[1].first_line, 100u);

  p = parse("positions: instr\nevents: Ir\nfn=f\n0x10 3\n+2 4\n");
  EXPECT_EQ(lines_of(p), std::vector<std::string>{"f ???:0 7"});

  // Lines falling, and lines far from the function's others, merge all the same.
  p = parse("events: Ir\nfn=f\n100 1\n90 1\n200000 2\n100 3\n1 4\n200000 5\n");
  EXPECT_EQ(lines_of(p),
            (std::vector<std::string>{"f ???:1 4", "f ???:100 4", "f ???:200000 7", "f ???:90 1"}));
}

// Each part's totals come from its totals: line, else its summary: line, else its cost lines;
// an event that only some parts or inputs measure is 0 in the others.
TEST(callgrind_format, parts_and_inputs_are_summed) {
  callgrind_profile_t p = parse(
      "events: Ir\nsummary: 12\nfn=f\n1 10\ntotals: 10\n"
      "part: 2\nevents: Dr Ir\nsummary: 7 5\nfn=f\n1 2 3\n"
      "part: 3\nevents: Ir\nfn=f\n2 4\n");
  EXPECT_EQ(p.parts, 3u);
  EXPECT_EQ(p.events, (std::vector<std::string>{"Ir", "Dr"}));
  EXPECT_EQ(p.totals, (std::vector<cost_t>{19, 7}));
  EXPECT_EQ(p.summary, (std::vector<cost_t>{21, 7}));
  p = parse("events: Dw Ir\nfn=f\n1 1 1\nfn=h\n3 1\n", p);
  EXPECT_EQ(p.parts, 4u);
  EXPECT_EQ(lines_of(p),
            (std::vector<std::string>{"f ???:1 14,2,1", "f ???:2 4,0,0", "h ???:3 0,0,1"}));
}

TEST(callgrind_format, event_definitions_and_missing_costs) {
  callgrind_profile_t p = parse(
      "event: Ir : Instruction Fetches\nevent: Sum = Ir + 2 * Foo : Weighted\n"
      "event: Twice = 2 Ir\nevents: Ir Foo Bar\nfn=f\n1 3 4\n2 5\ntotals: 8 4 0\n");
  EXPECT_EQ(p.events, (std::vector<std::string>{"Ir", "Foo", "Bar", "Sum", "Twice"}));
  EXPECT_EQ(p.event_names,
            (std::vector<std::string>{"Instruction Fetches", "Foo", "Bar", "Weighted", "Twice"}));
  EXPECT_EQ(lines_of(p), (std::vector<std::string>{"f ???:1 3,4,0,11,6", "f ???:2 5,0,0,5,10"}));
  EXPECT_EQ(p.totals, (std::vector<cost_t>{8, 4, 0, 16, 16}));
}

TEST(callgrind_format, bad_input_names_file_line_and_fault) {
  const std::pair<const char*, const char*> cases[] = {
      {"events: Ir\nfn=f\n+x 5\n", "t.out:3: bad position \"+x\": expected a number, +N, -N or *"},
      {"events: Ir\nfn=f\n99999999999999999999 1\n",
       "t.out:3: bad position \"99999999999999999999\": expected a number, +N, -N or *"},
      {"events: Ir\nfn=f\n3 1\n-4 1\n", "t.out:4: position \"-4\" goes below 0"},
      {"events: Ir\nfn=f\n5000000000 1\n", "t.out:3: line number 5000000000 is too large"},
      {"positions: instr line\nevents: Ir\nfn=f\n0x10\n",
       "t.out:4: cost line with too few positions: positions: names 2"},
      {"events: Ir\nfn=f\n3 1x\n", "t.out:3: bad cost \"1x\""},
      {"events: Ir Dr\nfn=f\n1 2 3 4\n", "t.out:3: too many costs: events: names 2"},
      {"fn=f\n1 2\nevents: Ir\n", "t.out:2: cost line before the events: line"},
      {"events: Ir\nfn=f\ncfn=g\ncalls=\n1 2\n", "t.out:4: calls= without a call count"},
      {"events: Ir\nfn=f\ncfn=g\ncalls=x 1\n1 2\n", "t.out:4: calls= with a bad call count \"x\""},
      {"events: Ir\nfn=f\ncalls=1 5\n1 1\n",
       "t.out:3: calls= without a cfn= naming the called function"},
      {"events: Ir\nfn=f\ncfn=g\ncalls=1 5\nfn=h\n",
       "t.out:4: calls= line without the cost line that must follow it"},
      {"events: Ir\nfn=f\ncfn=g\ncalls=1 5\n# end\n",
       "t.out:4: calls= line without the cost line that must follow it"},
      {"events: Ir\nfl=(1) a.c\nfn=(1)\n", "t.out:3: fn=(1) names an unknown function id"},
      {"events: Ir\nob=(2)\n", "t.out:2: ob=(2) names an unknown object id"},
      {"events: Ir\nfn=(1 main\n", "t.out:2: fn= with a bad name id \"(1\""},
      {"# nothing\n", "t.out: no events: line, not a callgrind profile"},
      {"version: 2\nevents: Ir\n", "t.out:1: unsupported format version 2"},
      {"events: Ir\nevents: Dr\n", "t.out:2: second events: line in one part"},
      {"events: Ir Dr Ir\n", "t.out:1: events: lists Ir twice"},
      {"positions: instr offset\n", "t.out:1: positions: unknown position \"offset\""},
      {"events: Ir\nfn=f\n1 1\ntotals: 1 2\n", "t.out:4: totals: has 2 numbers for 1 events"},
      {"events: Ir\nfn=f\n1 1\ntotals: 1\ntotals: 1\n", "t.out:5: second totals: line in one part"},
      {"event: S = Ir + Xx\nevents: Ir\nfn=f\n1 1\n", "t.out:1: event S: Xx is not in events:"},
      {"events: Ir\nfn=f\nhello world\n", "t.out:3: unrecognised line \"hello\""},
  };
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(text);
    try {
      parse(text);
      ADD_FAILURE() << "no error";
    } catch (const import_error& error) {
      EXPECT_STREQ(error.what(), message);
    }
  }
}

// Files are read a block at a time: lines cut by a block's end must come out whole.
TEST(callgrind_format, large_file_reads_as_its_text) {
  std::string text = "events: Ir Dr\nfn=f\n";
  for (int i = 0; i < 400000; ++i)
    text += std::to_string(i % 5000 + 1) + " " + std::to_string(i) + " 1\n";
  std::string path = testing::TempDir() + "callgrind-" + std::to_string(getpid());
  std::ofstream(path) << text;
  callgrind_profile_t read = read_callgrind({path});
  std::remove(path.c_str());
  EXPECT_EQ(lines_of(read), lines_of(parse(text)));
}

TEST(callgrind_format, recognises_profiles_by_their_header) {
  EXPECT_TRUE(looks_like_callgrind("# callgrind format\n"));
  EXPECT_TRUE(looks_like_callgrind("version: 1\ncreator: x\n\n# c\npositions: line\n"));
  EXPECT_TRUE(looks_like_callgrind("desc: I1 cache:\nevents: Ir\nfl=a.c\n"));
  EXPECT_FALSE(looks_like_callgrind("        -:    0:Source:a.c\n"));
  EXPECT_FALSE(looks_like_callgrind("file\tline\tcount\nevents: Ir\n"));
  EXPECT_FALSE(looks_like_callgrind("fl=a.c\nevents: Ir\n"));
  EXPECT_FALSE(looks_like_callgrind(""));
}

}  // namespace
