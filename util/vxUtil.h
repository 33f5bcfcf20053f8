/*
 * vxUtil.h - public interface of the utility library of the volumetric display kit.
 *
 * The utility library adds conveniences on top of the core library (vx.h): the message text of
 * every status code, the frame-buffer record VXbuffer, two operations on frames in memory,
 * shortcuts for the render modes, and the kit's three file formats: MVD volumes of plane words,
 * 32-bit TGA images and headerless RAW volumes of 8-bit grey voxels.
 *
 * Conventions for every function below:
 * - Every function except the three message helpers returns a status code (VX_OK, VX_ERR_...,
 *   defined in vx.h); 0 is success.
 * - The library keeps no state between calls and starts no thread. Call it from one thread at a
 *   time.
 * - Multi-byte numbers in files are stored least significant byte first.
 * - The allocating loaders (vxUtilLoadMVDFile, vxUtilLoadTGA) hand heap blocks to the
 *   application, which releases them with vxUtilFreeVXbuffer. On any failure they leave the
 *   record's data and comment null; they never hand out memory that the file did not fill.
 * - No loader allocates a pixel buffer of more than VXUTIL_MAX_BUFFER_BYTES; a file that needs
 *   more is refused with VX_ERR_NO_MEMORY.
 * - Every reader checks a file's header against the data that follows it: a file whose voxel
 *   or pixel data ends before the header (or, for RAW, the caller) says gives VX_ERR_FILE.
 * - Every writer checks its writes, including the final flush: a write that fails (a full disk,
 *   an I/O error, a closed pipe) gives VX_ERR_FILE (VX_ERR_IMAGE_WRITE for the TGA writers).
 */
#ifndef VXUTIL_H
#define VXUTIL_H

#include "vx.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Export macro ----------------------------------------------------------------------- */
#if defined(_WIN32)
#if defined(VXUTIL_BUILDING)
#define VXUTIL_API __declspec(dllexport)
#else
#define VXUTIL_API __declspec(dllimport)
#endif
#else
#define VXUTIL_API __attribute__((visibility("default")))
#endif

/* ---- Limits ----------------------------------------------------------------------------- */
/* Largest pixel block (in bytes) that an allocating loader allocates: 1 GiB, about 17 full
 * display volumes of 1024 x 748 x 20 plane words. */
#define VXUTIL_MAX_BUFFER_BYTES 1073741824u

/* ---- MVD packing codes (the unit one voxel becomes, and whether units are run-length
 *      packed) ------------------------------------------------------------------------------ */
#define MVD_WORD32 0      /* 4 bytes: the plane word itself; lossless                        */
#define MVD_COLOR15 1     /* 2 bytes: 5-bit red, green, blue                                 */
#define MVD_COLOR15_RLE 2 /* 2 bytes: as 1, run-length packed in 16-bit packets              */
#define MVD_PACKED24 3    /* 3 bytes: colour, plane-word bits 7..10 and 0..4                 */
#define MVD_GRAY8 4       /* 1 byte: grey level (c3 + c2 + c1) / 3 of the colour             */
#define MVD_GRAY5_RLE 5   /* 1 byte: grey level of 4 shifted right by 3, 8-bit packets       */
#define MVD_WORD32_RLE 6  /* 4 bytes: the word AND 0xF8F8FFDF, 32-bit packets                */

/* ---- Reason codes of a TGA header that a loader refuses (with VX_ERR_INVALID_FORMAT) ----- */
#define VXUTIL_TGA_REASON_WIDTH 1        /* width is 0                                       */
#define VXUTIL_TGA_REASON_HEIGHT 2       /* height is 0                                      */
#define VXUTIL_TGA_REASON_PIXEL_DEPTH 3  /* pixel depth is not 32                            */
#define VXUTIL_TGA_REASON_ORIGIN 4       /* origin on the right                              */
#define VXUTIL_TGA_REASON_COLOR_MAP 5    /* colour map type is not 0                         */
#define VXUTIL_TGA_REASON_IMAGE_TYPE 6   /* image type is not 2 (uncompressed true colour)   */
#define VXUTIL_TGA_REASON_SHORT_HEADER 7 /* the file ends inside the 18-byte header         */

/* ---- Reason codes of a RAW file name that vxUtilParseRAWFilename cannot take apart ------- */
#define VXUTIL_RAW_REASON_WIDTH 1     /* no hyphen before the width                         */
#define VXUTIL_RAW_REASON_HEIGHT 2    /* no hyphen before the height                        */
#define VXUTIL_RAW_REASON_DEPTH 3     /* no hyphen before the depth                         */
#define VXUTIL_RAW_REASON_TYPE 4      /* no hyphen before the voxel type                    */
#define VXUTIL_RAW_REASON_EXTENSION 5 /* no full stop before the extension                  */

/* ---- The frame-buffer record ------------------------------------------------------------ */
/* One frame held in memory. Every loader of this library fills data with 4 bytes a pixel:
 * rows of one plane one after another, then planes one after another; the loader says which
 * data format the pixels are in. Once a loader has filled the record, data and comment are
 * heap blocks owned by the record; release them with vxUtilFreeVXbuffer. */
typedef struct VXbuffer {
    int width;     /* pixels (voxels) per row                                              */
    int height;    /* rows per plane                                                       */
    int depth;     /* planes; 0 stands for a single plane (a two-dimensional image)        */
    void *data;    /* the pixels, or null                                                  */
    char *comment; /* NUL-terminated text that came with the file, or null                 */
} VXbuffer;

/* ======================================================================================== */
/* Status messages                                                                          */
/* ======================================================================================== */

/* vxUtilErrorString: writes the message of a status code ("no error", "invalid argument",
 * ...) into text, cut to size - 1 characters and terminated. A code above 15 has the message
 * "invalid error code".
 *   code: any value; negative values passed in become large unsigned ones.
 *   size: capacity of text in bytes. With 0 or less nothing is written.
 *   text: the caller's buffer; a null text is ignored.
 * vxUtilGetMaxLengthOfErrorString() bytes always hold a whole message. */
VXUTIL_API void vxUtilErrorString(unsigned int code, int size, char *text);

/* vxUtilGetMaxLengthOfErrorString: returns 64, the buffer size that holds every message with
 * its terminator. */
VXUTIL_API int vxUtilGetMaxLengthOfErrorString(void);

/* vxUtilGetNumberOfErrorCodes: returns 16, the number of status codes (0 to 15). */
VXUTIL_API int vxUtilGetNumberOfErrorCodes(void);

/* ======================================================================================== */
/* VXbuffer                                                                                 */
/* ======================================================================================== */

/* vxUtilInitializeVXbuffer: sets all five fields of the record to zero (null pointers), ready
 * for a loader. Allocates nothing; it does not release what the record held.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for a null record. */
VXUTIL_API unsigned int vxUtilInitializeVXbuffer(VXbuffer *buffer);

/* vxUtilFreeVXbuffer: releases data and comment where they are not null, sets them to null
 * and width, height and depth to 0. Freeing a record twice is harmless.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for a null record (nothing changed). */
VXUTIL_API unsigned int vxUtilFreeVXbuffer(VXbuffer *buffer);

/* ======================================================================================== */
/* Frame operations                                                                         */
/* ======================================================================================== */

/* vxUtilInvertBufferY: reverses the order of the rows of a two-dimensional image in place
 * (top row to bottom); with an odd height the middle row stays. Rows of any length are
 * handled, and nothing is allocated. Only data is flipped: the separate 16-bit depth buffer of
 * formats 68 to 71 is the caller's to flip.
 *   format: a data format id; its bytes per pixel come from vxGetDataFormatSize.
 *   width, height: the image's size in pixels.
 *   data: width x height pixels.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for a null data pointer; VX_ERR_OUT_OF_RANGE for a
 * width or height of 0 or less, or a size larger than the address space; the status of
 * vxGetDataFormatSize (VX_ERR_INVALID_ARGUMENT) for a format it does not know. The buffer is
 * unchanged on every error. */
VXUTIL_API unsigned int vxUtilInvertBufferY(int format, int width, int height, void *data);

/* vxUtilCopySubBuffer: copies the box of width x height x depth pixels whose first pixel is at
 * column x, row y, plane z of the source into destination, packed without gaps, in the
 * source's row and plane order.
 *   format: a data format id (bytes per pixel from vxGetDataFormatSize).
 *   sourceWidth, sourceHeight, sourceDepth: the source's size; a two-dimensional source has
 *                  sourceDepth 1.
 *   source: sourceWidth x sourceHeight x sourceDepth pixels.
 *   destination: room for width x height x depth pixels; must not overlap source.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for a null source or destination, an empty box (an
 * extent below 1), a negative offset, or a box that does not lie inside the source
 * (x + width > sourceWidth and so on); the status of vxGetDataFormatSize for a format it does
 * not know. Nothing is copied on an error. */
VXUTIL_API unsigned int vxUtilCopySubBuffer(int format, int sourceWidth, int sourceHeight,
                                            int sourceDepth, const void *source, int x, int y,
                                            int z, int width, int height, int depth,
                                            void *destination);

/* ======================================================================================== */
/* Render shortcuts                                                                         */
/* ======================================================================================== */
/* Each calls vxSetRenderMode or vxRender of the core library with the mode and the arguments
 * below (zeros for the ones the mode ignores) and returns its status unchanged; see vx.h for
 * those statuses (VX_ERR_OUT_OF_RANGE for a region outside the volume, VX_ERR_INVALID_FORMAT
 * for a data format that does not go with the mode, VX_ERR_UNKNOWN when not initialised...).
 * The block shortcuts always pass a null depth buffer. */

/* vxSetRenderMode(402, 0, 0, 0, 0, 0, 0): the whole plane. */
VXUTIL_API unsigned int vxUtilSetFullPlane(void);
/* vxSetRenderMode(404, 0, 0, 0, 0, 0, 0): the whole volume. */
VXUTIL_API unsigned int vxUtilSetFullBlock(void);
/* vxSetRenderMode(401, x, y, 0, width, height, 0): a rectangle of the plane. */
VXUTIL_API unsigned int vxUtilSetSubPlane(int x, int y, int width, int height);
/* vxSetRenderMode(403, x, y, z, width, height, depth): a box of the volume. */
VXUTIL_API unsigned int vxUtilSetSubBlock(int x, int y, int z, int width, int height, int depth);
/* vxRender(402, 0, 0, 0, 0, 0, 0, colour, depthBuffer): renders a whole-plane frame;
 * depthBuffer is used by formats 68 to 71 (and rewritten in place, see vxRenderBuffer). */
VXUTIL_API unsigned int vxUtilRenderFullPlane(const void *colour, unsigned short *depthBuffer);
/* vxRender(404, 0, 0, 0, 0, 0, 0, voxels, null): renders a whole-volume block. */
VXUTIL_API unsigned int vxUtilRenderFullBlock(const void *voxels);
/* vxRender(401, x, y, 0, width, height, 0, colour, depthBuffer): renders a rectangle. */
VXUTIL_API unsigned int vxUtilRenderSubPlane(int x, int y, int width, int height,
                                             const void *colour, unsigned short *depthBuffer);
/* vxRender(403, x, y, z, width, height, depth, voxels, null): renders a box. */
VXUTIL_API unsigned int vxUtilRenderSubBlock(int x, int y, int z, int width, int height, int depth,
                                             const void *voxels);

/* ======================================================================================== */
/* MVD volume files                                                                         */
/* ======================================================================================== */
/* An MVD file holds a volume of plane words (data format 75): an 18-byte header ("MVD",
 * version 1, packing code, bytes per unit, width, height and depth in 16 bits each, 4 reserved
 * bytes written as 0, a 16-bit comment length), the comment without terminator, then the
 * voxels in the packing of the MVD_ code: rows of width voxels, the rows of plane 0 first. A
 * depth of 0 stands for one plane. The run-length packings pack each row on its own: a unit
 * with its top bit clear is one voxel; a unit with its top bit set holds a count n in its other
 * bits and is followed by the value of n voxels. Rows may be up to 65535 voxels wide. */

/* vxUtilSaveMVDFile: writes a volume of plane words as an MVD file.
 *   fileName: the path; an existing file is truncated.
 *   packing: an MVD_ code, 0 to 6 (which bits each keeps: see the MVD_ constants).
 *   width, height, depth: 0 to 65535 each; depth 0 stands for one plane.
 *   voxels: width x height x max(depth, 1) plane words.
 *   comment: a NUL-terminated text or null; only its first 65535 characters are stored.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for a null fileName or voxels or a dimension outside
 * 0..65535 (no file is created), or for a packing code outside 0..6 (the file is then created
 * and left empty); VX_ERR_FILE_OPEN when the file cannot be created; VX_ERR_FILE when a write
 * fails (the file is then incomplete); VX_ERR_NO_MEMORY when the row storage of the packing
 * cannot be allocated. */
VXUTIL_API unsigned int vxUtilSaveMVDFile(const char *fileName, int packing, int width, int height,
                                          int depth, const void *voxels, const char *comment);

/* vxUtilLoadMVDFile: reads an MVD file into a record, allocating its blocks. On success
 * width, height and depth are the header's (depth 0 for a single-plane file), data is a new
 * block of width x height x max(depth, 1) plane words (data format 75; the bits the packing
 * does not keep are 0) and comment a new NUL-terminated copy of the comment up to its first
 * NUL, or null when the file has none. Data after the last voxel of a run-length packed file
 * is ignored.
 *   buffer: the record; its data and comment are set to null first (not released).
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for a null fileName or buffer;
 * VX_ERR_FILE_NOT_FOUND when the file cannot be opened; VX_ERR_FILE when the file ends inside
 * the header, the comment or the voxel data (for the unpacked codes this is found before
 * anything is allocated); VX_ERR_INVALID_FORMAT for a wrong magic, version, packing code or
 * unit size; VX_ERR_NO_MEMORY when the voxels need more than VXUTIL_MAX_BUFFER_BYTES or an
 * allocation fails. On every error data and comment are null and width, height and depth are
 * unchanged. */
VXUTIL_API unsigned int vxUtilLoadMVDFile(const char *fileName, VXbuffer *buffer);

/* ======================================================================================== */
/* TGA images                                                                               */
/* ======================================================================================== */
/* The TGA images of this library are uncompressed true colour (image type 2), 32 bits a pixel
 * (blue, green, red, alpha), no colour map, no footer; they are written with the origin at
 * the top left, and read with the origin at the top left (descriptor 0x20) or bottom left
 * (0x00). The alpha channel carries the depth. */

/* vxUtilSaveBufferAsTGA: writes a two-dimensional frame as a 32-bit TGA image.
 *   fileName: the path; an existing file is truncated.
 *   width, height: 1 to 65535.
 *   format: the frame's data format, 68 to 75. Blue, green and red are the frame's colour
 *           bytes. Alpha: formats 68 to 71 scale the depth buffer, with min and max its
 *           smallest and largest value, range = min(max + 1, 65535) - min, factor = 255 /
 *           range in single precision, alpha = (depth - min) x factor truncated (a frame in
 *           which every depth is 65535, range 0, gets alpha 0); 72 and 73 copy byte 3; 74
 *           writes byte 3 (the plane index) x 1.0526316 truncated, at most 255; 75 is written
 *           as vxUtilSaveMVD32AsTGA writes it.
 *   data: width x height pixels in that format.
 *   depthBuffer: width x height 16-bit depths for formats 68 to 71; must not be null for any
 *           format.
 *   comment: a NUL-terminated text or null; its first 255 characters become the image
 *           identification field.
 * Returns VX_OK; VX_ERR_IMAGE_WRITE for a null fileName, data or depthBuffer, a width or height
 * outside 1..65535, or a failed write; VX_ERR_INVALID_FORMAT for a format outside 68..75 (no
 * file is created); VX_ERR_FILE_OPEN when the file cannot be created; VX_ERR_NO_MEMORY when
 * the conversion block cannot be allocated. */
VXUTIL_API unsigned int vxUtilSaveBufferAsTGA(const char *fileName, int width, int height,
                                              unsigned int format, const void *data,
                                              const unsigned short *depthBuffer,
                                              const char *comment);

/* vxUtilSaveMVD32AsTGA: writes width x height plane words as a 32-bit TGA image: blue, green
 * and red are bytes 1, 2 and 3 of the word masked with 0xF8; alpha is d x 255 / 608 truncated
 * and at most 255, with d = (word bits 0..4) x 32 + (word bits 6..10).
 *   fileName, width, height, comment: as for vxUtilSaveBufferAsTGA.
 *   words: width x height plane words.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for a null fileName or words; VX_ERR_IMAGE_WRITE for
 * a width or height outside 1..65535 or a failed write; VX_ERR_FILE_OPEN when the file cannot
 * be created; VX_ERR_NO_MEMORY when the conversion block cannot be allocated. */
VXUTIL_API unsigned int vxUtilSaveMVD32AsTGA(const char *fileName, int width, int height,
                                             const void *words, const char *comment);

/* vxUtilLoadTGA: reads a 32-bit TGA image into a record, allocating its blocks. On success
 * width and height are the image's, data a new block of width x height pixels of 4 bytes in
 * the chosen format, top row first whatever the file's origin, and comment a new
 * NUL-terminated copy of the identification field, or null when the field is empty; depth is
 * not touched. The file is only read, so read-only files load.
 *   format: 72 (red, green, blue, alpha), 73 (blue, green, red, alpha) or 74 (as 72, with
 *           alpha limited to the number of planes - 1, 19 on the display).
 *   buffer: the record; its data and comment are set to null first (not released).
 *   reason: receives the reason code (VXUTIL_TGA_REASON_) of a VX_ERR_INVALID_FORMAT result;
 *           may be null; untouched for any other result.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for a null fileName or buffer or a format other than
 * 72, 73 and 74 (checked before the file is opened); VX_ERR_FILE_NOT_FOUND when the file cannot
 * be opened; VX_ERR_INVALID_FORMAT when the header is refused, checked in the order colour map
 * type (reason 5), image type (6), width (1), height (2), pixel depth (3), origin (4), and
 * reason 7 for a file shorter than the header; VX_ERR_NO_MEMORY when the image needs more than
 * VXUTIL_MAX_BUFFER_BYTES or an allocation fails; VX_ERR_FILE when the file ends inside the
 * identification field or the pixels (found before anything is allocated for a regular file).
 * On every error data and comment are null; width and height may already hold the header's
 * values once the width and height checks have passed. */
VXUTIL_API unsigned int vxUtilLoadTGA(const char *fileName, unsigned int format, VXbuffer *buffer,
                                      int *reason);

/* ======================================================================================== */
/* RAW volumes                                                                              */
/* ======================================================================================== */
/* A RAW file holds width x height x max(depth, 1) 8-bit grey voxels (data format 81) and
 * nothing else; the dimensions travel in the file name:
 * <base>-<width>-<height>-<depth>-GRAY8.raw, for example scan-1024-748-20-GRAY8.raw. */

/* vxUtilSaveRAW: writes a RAW file under the name built from baseName and the dimensions.
 *   baseName: NUL-terminated, may include a directory.
 *   ignored: not read.
 *   width, height, depth: 0 or more; depth 0 stands for one plane and is written as 0.
 *   data: width x height x max(depth, 1) bytes.
 *   nameSize: capacity of name in bytes.
 *   name: receives the name of the file, NUL-terminated.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for a null baseName, data or name, a negative
 * dimension, or a nameSize too small for the name and its terminator (name untouched, no file
 * created); VX_ERR_FILE_OPEN when the file cannot be created (name already holds its name);
 * VX_ERR_FILE when a write fails; VX_ERR_NO_MEMORY when the name cannot be built. */
VXUTIL_API unsigned int vxUtilSaveRAW(const char *baseName, int ignored, int width, int height,
                                      int depth, const void *data, int nameSize, char *name);

/* vxUtilLoadRAW: reads width x height x max(depth, 1) bytes of a RAW file into data. The
 * dimensions are the caller's (typically from vxUtilParseRAWFilename); a longer file loads,
 * its extra bytes are ignored.
 *   fileName: the path. ignored: not read.
 *   width, height, depth: 0 or more.
 *   data: room for width x height x max(depth, 1) bytes.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for a null fileName or data or a negative dimension
 * (the file is not opened); VX_ERR_FILE_OPEN when the file cannot be opened (a missing file
 * included); VX_ERR_FILE when the file is shorter than the volume (for a regular file this is
 * found before data is touched). */
VXUTIL_API unsigned int vxUtilLoadRAW(const char *fileName, int ignored, int width, int height,
                                      int depth, void *data);

/* vxUtilParseRAWFilename: takes a RAW file name apart from its end, so that the base name may
 * contain hyphens and full stops: the last full stop starts the extension (not examined), the
 * hyphen before it starts the voxel type, and the three hyphens before that start the depth,
 * the height and the width. Each value is stored as soon as it is found. A voxel type "GRAY8"
 * in any letter case sets format to 81; another type leaves format as it was. A number is read
 * as "%d" reads it (leading blanks, a sign, decimal digits); a field that does not start with a
 * number, or whose number does not fit an int, leaves its output as it was.
 *   fileName: NUL-terminated, any length.
 *   format, width, height, depth: receive the values.
 *   reason: receives the reason code (VXUTIL_RAW_REASON_, 0 when there is none) in every
 *           outcome; may be null.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for a null fileName, format, width, height or depth
 * (reason 0); VX_ERR_INVALID_FORMAT when a separator is missing: reason 5 without a full stop,
 * 4 to 1 when the hyphen before the voxel type, depth, height or width is missing (the values
 * found before stay stored). */
VXUTIL_API unsigned int vxUtilParseRAWFilename(const char *fileName, int *format, int *width,
                                               int *height, int *depth, int *reason);

#ifdef __cplusplus
} /* extern "C" */

/* The two loaders below write into the application's buffer instead of allocating. They are
 * exported with C++ linkage (decorated names). */

/* vxUtilLoadMVDFileNA: reads an MVD file into the application's buffer.
 *   fileName: the path.
 *   width, height, depth: on entry the largest dimensions buffer can take; each receives the
 *           header's value as soon as it has been compared (depth as stored, 0 for one plane).
 *   buffer: room for (entry width) x (entry height) x max(entry depth, 1) plane words; the
 *           voxels are stored densely with the file's own width and height.
 *   commentSize: capacity of comment in bytes; 0 or less when no comment is wanted.
 *   comment: receives at most commentSize - 1 characters of the comment, up to its first NUL,
 *           and a terminator; may be null when commentSize is 0 or less.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for a null fileName, width, height, depth or buffer,
 * or a commentSize above 0 with a null comment (the file is not opened);
 * VX_ERR_FILE_NOT_FOUND, VX_ERR_FILE and VX_ERR_INVALID_FORMAT as for vxUtilLoadMVDFile
 * (the voxels' VX_ERR_FILE for a regular file before anything is written to buffer);
 * VX_ERR_NO_MEMORY when the comment or the read block cannot be allocated;
 * VX_ERR_OUT_OF_RANGE when the header's width, height or depth, compared in this order and as
 * signed numbers, is larger than the caller's (the dimensions already compared stay stored).
 * Allocates nothing that outlives the call. */
VXUTIL_API unsigned int vxUtilLoadMVDFileNA(const char *fileName, int *width, int *height,
                                            int *depth, void *buffer, int commentSize,
                                            char *comment);

/* vxUtilLoadTGANA: reads a 32-bit TGA image into the application's buffer, as vxUtilLoadTGA
 * does, without allocating.
 *   fileName, format, reason: as for vxUtilLoadTGA.
 *   width, height: on entry the largest image the buffer can take; each receives the image's
 *           value as soon as it has been compared.
 *   buffer: room for (entry width) x (entry height) x 4 bytes; pixels are stored densely with
 *           the image's own width.
 *   commentSize, comment: when commentSize is above 0 and comment is not null, at most
 *           commentSize - 1 characters of the identification field are copied into comment and
 *           terminated; otherwise comment is not touched.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for a null fileName, width, height or buffer or a
 * format other than 72 to 74; VX_ERR_FILE_NOT_FOUND, VX_ERR_INVALID_FORMAT (reasons 5, 6, 1, 2,
 * then the capacity check, then 3, 4; 7 for a short header) and VX_ERR_FILE as for
 * vxUtilLoadTGA; VX_ERR_OUT_OF_RANGE when the image is wider or higher than the caller's
 * width or height. */
VXUTIL_API unsigned int vxUtilLoadTGANA(const char *fileName, unsigned int format, int *width,
                                        int *height, void *buffer, int commentSize, char *comment,
                                        int *reason);
#endif

#endif /* VXUTIL_H */
