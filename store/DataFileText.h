#pragma once
// Turns a data file's text into the document. The large, regular parts of a file this program
// printed (the library's songs, the lists' items) can be read past the XML parser and handed to
// the sections that hold them in a form of their own.
#include <tinyxml.h>

#include <string>
#include <vector>

#include "store/MusicRecord.h"

namespace quillo::store {

// A playlist whose items were read as ids: its element is left without them.
struct ListItemsReadAhead {
  TiXmlElement* playlist = nullptr;
  std::vector<std::string> ids;
};

struct ReadAhead {
  std::vector<MusicRecord> songs;
  std::vector<ListItemsReadAhead> lists;
};

struct ReadAheadWanted {
  bool songs = false;
  bool items = false;
};

// Parses the text into `document` with every byte kept (legacy encoding): files before 1.2.11
// hold GBK, later ones UTF-8, and the parser's UTF-8 mode would swallow a quote that follows a
// GBK lead byte. False when the text is no XML document with a root element.
bool ParseDocumentText(TiXmlDocument& document, const std::string& text);

// Parses the text as ParseDocumentText does, except that what is wanted and printed as this
// program prints it comes back in `read_ahead` instead of as elements: the songs of the folder
// "folders#folder:music#" (ReadPrintedSongs) and the items of playlists made only of plain
// items (ReadPrintedItems), their elements left without them. Everything is elements (and
// `read_ahead` empty) when the readers refuse it, when what they found is not where it looked
// to be (a comment, an attribute's text, another folder), when the text names the markers used
// to find it again, and when the document is of a version whose content a migration converts.
// False when the text does not parse.
bool ParseDataFileText(TiXmlDocument& document, const std::string& text, ReadAheadWanted wanted,
                       ReadAhead& read_ahead);

}  // namespace quillo::store
