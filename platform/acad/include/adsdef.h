// The ads value types: text, reals, points, entity names and the result buffer that
// carries LISP values between the host and an external-function application.
#pragma once
#include <cstddef>
#include <cstdint>

typedef wchar_t ACHAR;
#ifndef ACRX_T
#define ACRX_T(x) L##x
#endif
#ifndef _T
#define _T(x) L##x
#endif

typedef double ads_real;
typedef ads_real ads_point[3];
typedef ads_real ads_matrix[4][4];
// An entity or selection-set name: two machine words that only the host interprets.
typedef std::intptr_t ads_name[2];
typedef ads_real* ads_pointp;
typedef std::intptr_t* ads_namep;

enum { X = 0, Y = 1, Z = 2 };
enum { T = 3 };

struct ads_binary {
  short clen;
  char* buf;
};

// The value of one result buffer; which member is live follows from `restype`
// (see adscodes.h): RTREAL/RTANG/RTORINT and group codes 38-59 use rreal;
// RTPOINT/RT3DPOINT and group codes 10-17 use rpoint; RTSHORT uses rint; RTLONG
// uses rlong; RTSTR uses rstring (owned by the buffer, released by acutRelRb);
// RTENAME/RTPICKS use rlname.
union ads_u_val {
  ads_real rreal;
  ads_real rpoint[3];
  short rint;
  ACHAR* rstring;
  std::intptr_t rlname[2];
  std::int32_t rlong;
  std::int64_t mnInt64;
  struct ads_binary rbinary;
  unsigned char ihandle[8];
};

struct resbuf {
  struct resbuf* rbnext;
  short restype;
  union ads_u_val resval;
};
