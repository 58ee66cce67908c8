#pragma once

#include <cstddef>

// The online libraries read a server's answer whole, however long it is: an endless answer
// would grow the tool by tens of megabytes a second until its deadline. The tool takes the
// place of the C library's recv, which both libraries read their connections with (neon below
// libmusicbrainz5, and libcddb), and counts what each thread has received since it began its
// current answer: once AnswerLimit bytes have come, the connection reads as closed by the
// server, so the library stops reading there and finds nothing more.
inline constexpr size_t AnswerLimit = 4 << 20;

// The calling thread is about to read a new answer.
void BeginAnswer();
