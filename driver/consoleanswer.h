#ifndef CONSOLEANSWER_H
#define CONSOLEANSWER_H

// Reads the person's answer to a Y/N prompt: one character after any white space. Returns false
// at the end of standard input, when there is no answer to read.
bool readAnswer(char &answer);

bool isYes(char answer);

#endif
