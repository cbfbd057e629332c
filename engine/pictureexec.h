// Pictures, program text and file management: LOADPICTURE and SAVEPICTURE move pictures between files,
// the graphics window's drawing surface and its picture buffer; LOAD and LIST work on the program text;
// CHDIR, KILL, NAME and FILECOPY manage files; GETIMAGESIZE$ measures a picture file and GETRGBPIXEL
// reads a pixel of the graphics window.
//
// Everything runs on the interpreter thread. Picture files are read and written there (image I/O
// needs no window), and the pixels are copied into or out of the surface under its lock, as the
// drawing statements do, so the window repaints them at its own rate.
//
// A file that is about to be replaced or removed is kept under its ".bak" name: a new file is written
// beside it first and takes its place only when it was written completely, so a failed write changes
// nothing.
#pragma once

#include <QSize>
#include <QString>

// LOADPICTURE and SAVEPICTURE in their four argument forms (by code), once the graphics window is
// known to be open (else its arguments are dropped).
void ExecLoadPictureStatement(int code);
void ExecSavePictureStatement(int code);
// GETRGBPIXEL, with the graphics window open.
void ExecGetRgbPixelFunction();

// Picture file types, chosen by the extension of the name upper-cased.
enum class PictureType { None, Jpeg, Bmp, Png, Gif };
// ".JPG", ".BMP", ".PNG" and ".GIF" in any case; anything else (".jpeg" too) is None.
PictureType PictureTypeOf(const QString& name);

// The name with its extension replaced by ".bak" (appended when the file name has no extension).
QString BackupNameOf(const QString& path);

// Replaces `target` by the complete file `fresh` (in the same folder): an existing target is first
// renamed to its ".bak" name, an older ".bak" file of that name being removed. On failure the old
// target is back in place and false is returned; `fresh` is left for the caller to remove. A folder
// under the target's name is never replaced.
bool ReplaceKeepingBackup(const QString& fresh, const QString& target);

// GETIMAGESIZE$'s text: width and height, each right-aligned in four columns, joined by ":". A size
// of five or more digits is given whole.
QString ImageSizeText(QSize size);

// The executors; `code` selects the argument form (statement + 1000 * number of operands).
void ExecLoadPicture(int code);
void ExecSavePicture(int code);
void ExecLoad();
void ExecList();
void ExecChDir();
void ExecKill();
void ExecName();
void ExecFileCopy();
void ExecGetImageSize();
void ExecGetRgbPixel();
