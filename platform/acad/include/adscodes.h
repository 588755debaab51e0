// Result type codes, status codes and request codes of the ads interface.
//
// | code | name       | value carried                 |
// |------|------------|-------------------------------|
// | 5000 | RTNONE     | none                          |
// | 5001 | RTREAL     | real                          |
// | 5002 | RTPOINT    | 2D point (z unused)           |
// | 5003 | RTSHORT    | 16-bit integer                |
// | 5004 | RTANG      | angle (real)                  |
// | 5005 | RTSTR      | string                        |
// | 5006 | RTENAME    | entity name                   |
// | 5007 | RTPICKS    | selection-set name            |
// | 5008 | RTORINT    | orientation (real)            |
// | 5009 | RT3DPOINT  | 3D point                      |
// | 5010 | RTLONG     | 32-bit integer                |
// | 5014 | RTVOID     | blank symbol                  |
// | 5016 | RTLB       | start of a list               |
// | 5017 | RTLE       | end of a list                 |
// | 5018 | RTDOTE     | dot of a dotted pair          |
// | 5019 | RTNIL      | nil                           |
// | 5020 | RTDXF0     | group code 0 in a list        |
// | 5021 | RTT        | T                             |
// | 5023 | RTRESBUF   | a resbuf pointer              |
// | 5027 | RTMODELESS | a modeless dialog interrupted |
#pragma once

#define RTNONE 5000
#define RTREAL 5001
#define RTPOINT 5002
#define RTSHORT 5003
#define RTANG 5004
#define RTSTR 5005
#define RTENAME 5006
#define RTPICKS 5007
#define RTORINT 5008
#define RT3DPOINT 5009
#define RTLONG 5010
#define RTVOID 5014
#define RTLB 5016
#define RTLE 5017
#define RTDOTE 5018
#define RTNIL 5019
#define RTDXF0 5020
#define RTT 5021
#define RTRESBUF 5023
#define RTMODELESS 5027

// Status codes returned by the ads calls.
#define RTNORM 5100
#define RTERROR (-5001)
#define RTCAN (-5002)
#define RTREJ (-5003)
#define RTFAIL (-5004)
#define RTKWORD (-5005)
#define RTINPUTTRUNCATED (-5008)

// What an external-function handler returns to the host.
#define RSRSLT 1
#define RSERR 3

// Requests sent to ads applications.
#define RQXLOAD 100
#define RQXUNLD 101
#define RQSUBR 102

// acedInitGet control bits.
#define RSG_NONULL 0x0001
#define RSG_NOZERO 0x0002
#define RSG_NONEG 0x0004
#define RSG_NOLIM 0x0008
#define RSG_GETZ 0x0010
#define RSG_DASH 0x0020
#define RSG_2D 0x0040
#define RSG_OTHER 0x0080
#define RSG_DDISTFIRST 0x0100
#define RSG_TRACKUCS 0x0200
#define RSG_NOORTHOZ 0x0400
#define RSG_NOOSNAP 0x0800
#define RSG_NODDIST 0x1000
