#ifndef SOURCEGENERATOR_H
#define SOURCEGENERATOR_H

#include <optional>
#include <string>

// The kinds of source that shops send, each stressing another part of the job.
enum class SourceShape {
    // As a job database writes them: the four kinds in turn, now and then (one entry in 97) a kind
    // the tool does not know, each with about six lines of G-code content holding both markers
    // (escaped in most entries, in a CDATA section in every third one). About 288 bytes an entry.
    Mixed,
    // Short entries of about 144 bytes, three content lines each, where one entry in nine has an
    // unknown kind or an empty name: many small nodes, and many entries skipped.
    Short,
    // Few entries with long content: one entry for every hundred asked, each with the content of a
    // hundred mixed entries (600 lines, 18 kB); about 178 bytes of source for every entry asked.
    Long,
};

// The shape named `name` ("mixed", "short", "long"), if any.
std::optional<SourceShape> sourceShapeNamed(const std::string &name);

// Writes a source document of the given shape, of `entries` entries (of the entries' worth of
// content for the long shape). The same shape and count always give the same bytes. Returns false
// when the file cannot be written.
bool writeGeneratedSource(const std::string &path, long entries, SourceShape shape = SourceShape::Mixed);

#endif
