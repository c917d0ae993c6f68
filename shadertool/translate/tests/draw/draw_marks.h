// What a Shader XML file says about its own drawing, in comments the
// translator never reads:
//
//   <!-- set NAME v0 v1 ... -->      the values of the constant NAME (a
//                                    matrix row by row, an array element
//                                    after element); the rest stay 0
//   <!-- expect R G B A -->          every pixel of a pixel output: the
//                                    comments give the outputs in order,
//                                    the first for the first, wherever
//                                    they stand in the file
//   <!-- expect TARGETS: R G B A --> the same for the targets of the target
//                                    list only (ESSL20,GLSL21 or ~HLSL), in
//                                    place of the general one of its rank
//   // ERROR "text"                  on a line of code: each target refuses
//   // ERROR TARGETS "text"          the file with a message at this line
//                                    that holds the text
//   <!-- ERROR "text" -->            a refusal with a message that names no
//                                    line (or any line)
#pragma once

#include <map>
#include <string>
#include <vector>

namespace ShaderTool {
namespace draw {

struct Colour {
    double channel[4] = {};
};

struct Expectation {
    int targets = 0;  // 0: every target without one of its own
    Colour colour;
};

struct ErrorMark {
    int line = 0;     // 0: a message without a place
    int targets = 0;  // 0: every target
    std::string pattern;
};

struct Marks {
    std::map<std::string, std::vector<double>> values;
    std::vector<Expectation> expectations;
    std::vector<ErrorMark> errors;
};

// False with a message naming the line of the first mark that cannot be read.
bool ReadMarks(const std::string& xml, Marks* marks, std::string* error);

// The colour of each pixel output, in order, that `target` must draw: for
// output k, the k-th expectation naming the target, else the k-th
// expectation without targets.
std::vector<Colour> ExpectationsFor(const Marks& marks, int target);

// The error marks that concern `target`.
std::vector<ErrorMark> ErrorsFor(const Marks& marks, int target);

}  // namespace draw
}  // namespace ShaderTool
