// List and string library functions, conversions and geometry.
#include "LispTestSupport.h"

namespace tabrik::lisp::testing {
namespace {

using ListTest = LispTest;

TEST_F(ListTest, ListFunctions) {
  static const Case cases[] = {
      {"(car nil)", "nil"},
      {"(cdr '(1))", "nil"},
      {"(cadr '(1 2 3))", "2"},
      {"(caddr '(1 2 3))", "3"},
      {"(cddr '(1 2 3))", "(3)"},
      {"(caar '((1 2) 3))", "1"},
      {"(cdar '((1 2) 3))", "(2)"},
      {"(cadddr '(1 2 3 4))", "4"},
      {"(cadr '(1 . 2))", "!bad argument type: consp 2"},
      {"(cons 1 '(2))", "(1 2)"},
      {"(cons 1 2)", "(1 . 2)"},
      {"(cons '(a) 'b)", "((A) . B)"},
      {"(list)", "nil"},
      {"(list 1 \"a\" 'b 2.0 nil)", "(1 \"a\" B 2.0 nil)"},
      {"(append '(1 2) '(3) nil '(4 5))", "(1 2 3 4 5)"},
      {"(append)", "nil"},
      {"(append '(1) 2)", "!bad argument type: listp 2"},
      {"(assoc 2 '((1 . \"a\") (2 . \"b\")))", "(2 . \"b\")"},
      {"(assoc \"k\" '((\"k\" 1)))", "(\"k\" 1)"},
      {"(assoc 3 '((1 . 2)))", "nil"},
      {"(member 'c '(a b c d))", "(C D)"},
      {"(member '(1) '(0 (1) 2))", "((1) 2)"},
      {"(member 9 '(1 2))", "nil"},
      {"(nth 1 '(a b c))", "B"},
      {"(nth 5 '(a b c))", "nil"},
      {"(length '(1 2 3))", "3"},
      {"(length nil)", "0"},
      {"(length 5)", "!bad argument type: listp 5"},
      {"(reverse '(1 2 3))", "(3 2 1)"},
      {"(last '(a b (c)))", "(C)"},
      {"(last nil)", "nil"},
      {"(subst 'x 'b '(a b c b))", "(A X C X)"},
      {"(subst '(9) 2 '(1 2 (2)))", "(1 (9) (2))"},
      {"(vl-position 'c '(a b c))", "2"},
      {"(vl-position 'z '(a b c))", "nil"},
      {"(vl-remove 2 '(1 2 3 2))", "(1 3)"},
      {"(vl-remove-if 'minusp '(1 -2 3))", "(1 3)"},
      {"(vl-remove-if-not 'minusp '(1 -2 3))", "(-2)"},
      {"(vl-member-if 'minusp '(1 -2 3))", "(-2 3)"},
      {"(vl-member-if-not 'minusp '(-1 2 3))", "(2 3)"},
      {"(vl-some '= '(1 2 3) '(3 2 1))", "T"},
      {"(vl-every '< '(1 2) '(2 3))", "T"},
      {"(vl-every '< '(1 2) '(2 1))", "nil"},
      {"(vl-list* 1 2 3)", "(1 2 . 3)"},
      {"(vl-list* 1)", "1"},
      {"(vl-list-length '(1 2))", "2"},
      {"(vl-list-length '(1 . 2))", "nil"},
      {"(vl-sort '(3 2 1 3) '<)", "(1 2 3)"},
      {"(vl-sort-i '(3 2 1 3) '<)", "(2 1 3 0)"},
      {"(vl-sort '(\"b\" \"c\" \"a\") '<)", "(\"a\" \"b\" \"c\")"},
      {"(vl-sort '(1 5 3) '>)", "(5 3 1)"},
      {"(vl-sort '((2 . b) (1 . a)) '(lambda (x y) (< (car x) (car y))))", "((1 . A) (2 . B))"},
      {"(vl-sort nil '<)", "nil"},
      {"(acad_strlsort '(\"pear\" \"apple\"))", "(\"apple\" \"pear\")"},
  };
  runTable(cases);
}

using StringTest = LispTest;

TEST_F(StringTest, StringFunctions) {
  static const Case cases[] = {
      {"(strcat)", "\"\""},
      {"(strcat \"a\" \"bc\" \"\")", "\"abc\""},
      {"(strlen)", "0"},
      {"(strlen \"abc\" \"de\")", "5"},
      {"(substr \"abcde\" 2)", "\"bcde\""},
      {"(substr \"abcde\" 2 2)", "\"bc\""},
      {"(substr \"abc\" 9)", "\"\""},
      {"(substr \"abc\" 0)", "!bad argument value: positive 0"},
      {"(strcase \"Sample\")", "\"SAMPLE\""},
      {"(strcase \"Sample\" T)", "\"sample\""},
      {"(chr 65)", "\"A\""},
      {"(ascii \"A\")", "65"},
      {"(ascii \"\")", "0"},
      {"(itoa -17)", "\"-17\""},
      {"(atoi \"97\")", "97"},
      {"(atoi \"3.9\")", "3"},
      {"(atoi \"abc\")", "0"},
      {"(atof \"3\")", "3.0"},
      {"(atof \"x\")", "0.0"},
      {"(atof \"97.1\")", "97.1"},
      {"(vl-prin1-to-string \"abc\")", "\"\\\"abc\\\"\""},
      {"(vl-princ-to-string \"abc\")", "\"abc\""},
      {"(vl-prin1-to-string '(1 \"a\" 2.5))", "\"(1 \\\"a\\\" 2.5)\""},
      {"(vl-string-trim \" \" \"  a b  \")", "\"a b\""},
      {"(vl-string-left-trim \" \\t\" \" \\t x \")", "\"x \""},
      {"(vl-string-right-trim \" \" \" x  \")", "\" x\""},
      {"(vl-string-search \"foo\" \"pfooyfoo\")", "1"},
      {"(vl-string-search \"foo\" \"pfooyfoo\" 2)", "5"},
      {"(vl-string-search \"zz\" \"pfoo\")", "nil"},
      {"(vl-string-subst \"Z\" \"o\" \"foo\")", "\"fZo\""},
      {"(vl-string-translate \"abc\" \"123\" \"a cab\")", "\"1 312\""},
      {"(vl-string-position (ascii \"z\") \"azbdc\")", "1"},
      {"(vl-string-position (ascii \"z\") \"azbdc az\" nil T)", "7"},
      {"(vl-string-elt \"abc\" 1)", "98"},
      {"(vl-string-mismatch \"VL-FUN\" \"VL-VAR\")", "3"},
      {"(vl-string-mismatch \"abc\" \"ABD\" 0 0 T)", "2"},
      {"(vl-string->list \"AB\")", "(65 66)"},
      {"(vl-list->string '(72 105))", "\"Hi\""},
      {"(read \"42\")", "42"},
      {"(read \"\\\"s\\\"\")", "\"s\""},
  };
  runTable(cases);
}

TEST_F(StringTest, Wcmatch) {
  static const Case cases[] = {
      {"(wcmatch \"Name\" \"N*\")", "T"},
      {"(wcmatch \"Name\" \"n*\")", "nil"},
      {"(wcmatch \"Name\" \"???,~*m*,N*\")", "T"},
      {"(wcmatch \"Name\" \"*X*\")", "nil"},
      {"(wcmatch \"A1\" \"@#\")", "T"},
      {"(wcmatch \"A-\" \"@.\")", "T"},
      {"(wcmatch \"AB\" \"@.\")", "nil"},
      {"(wcmatch \"b\" \"[abc]\")", "T"},
      {"(wcmatch \"d\" \"[~abc]\")", "T"},
      {"(wcmatch \"q\" \"[a-z]\")", "T"},
      {"(wcmatch \"Q\" \"[a-z]\")", "nil"},
      {"(wcmatch \"abc\" \"~a*\")", "nil"},
      {"(wcmatch \"*\" \"`*\")", "T"},
      {"(wcmatch \"a\" \"`*\")", "nil"},
      {"(wcmatch \"a,b\" \"a`,b\")", "T"},
      {"(wcmatch \"LAYER-12\" \"LAYER-##\")", "T"},
      {"(wcmatch \"\" \"*\")", "T"},
      {"(wcmatch \"abcabd\" \"*ab?\")", "T"},
  };
  runTable(cases);
}

TEST_F(StringTest, UnitConversions) {
  static const Case cases[] = {
      {"(rtos 17.5)", "\"17.5000\""},
      {"(rtos 17.5 1 4)", "\"1.7500E+01\""},
      {"(rtos 17.5 2 2)", "\"17.50\""},
      {"(rtos 17.5 5 2)", "\"17 1/2\""},
      {"(rtos 17.5 4 2)", "\"1'-5 1/2\\\"\""},
      {"(rtos 17.5 3 2)", "\"1'-5.50\\\"\""},
      {"(rtos 0.5 5 2)", "\"1/2\""},
      {"(rtos -2.26 2 1)", "\"-2.3\""},
      {"(rtos 3 2 0)", "\"3\""},
      {"(rtos 1e20 4 2)", "\"100000000000000000000.00\""},
      {"(distof \"17.5\")", "17.5"},
      {"(distof \"17 1/2\")", "17.5"},
      {"(distof \"1'-5 1/2\\\"\")", "17.5"},
      {"(distof \"1'-5.5\\\"\")", "17.5"},
      {"(distof \"2'\")", "24.0"},
      {"(distof \"abc\")", "nil"},
      {"(angtos pi 0 0)", "\"180\""},
      {"(angtos (/ pi 4) 0 2)", "\"45.00\""},
      {"(angtos (/ pi 4) 1 4)", "\"45d0'0\\\"\""},
      {"(angtos (/ pi 2) 2 0)", "\"100g\""},
      {"(angtos 1.0 3 2)", "\"1.00r\""},
      {"(angtos (/ pi 4) 4 0)", "\"N 45d E\""},
      {"(angtos (- (/ pi 2)) 0 0)", "\"270\""},
      {"(angtof \"180\")", "3.14159"},
      {"(angtof \"45d30'0\\\"\" 1)", "0.794125"},
      {"(angtof \"junk\")", "nil"},
  };
  runTable(cases);
}

using GeometryTest = LispTest;

TEST_F(GeometryTest, PointFunctions) {
  static const Case cases[] = {
      {"(polar '(1 1) 0 2)", "(3.0 1.0)"},
      {"(polar '(1 1 5) (/ pi 2) 2)", "(1.0 3.0 5.0)"},
      {"(angle '(0 0) '(0 1))", "1.5708"},
      {"(angle '(0 0) '(0 -1))", "4.71239"},
      {"(angle '(1 1) '(0 1))", "3.14159"},
      {"(distance '(0 0) '(3 4))", "5.0"},
      {"(distance '(0 0 0) '(3 4 12))", "13.0"},
      {"(distance '(0 0) '(3 4 12))", "5.0"},
      {"(inters '(0 0) '(2 2) '(0 2) '(2 0))", "(1.0 1.0)"},
      {"(inters '(0 0) '(0.5 0.5) '(0 2) '(2 0))", "nil"},
      {"(inters '(0 0) '(0.5 0.5) '(0 2) '(2 0) nil)", "(1.0 1.0)"},
      {"(inters '(0 0) '(1 1) '(0 2) '(2 0))", "(1.0 1.0)"},
      {"(inters '(0 0) '(1 0) '(0 1) '(1 1))", "nil"},
      {"(inters '(0 0 0) '(2 2 2) '(0 2 0) '(2 0 2))", "(1.0 1.0 1.0)"},
      {"(inters '(0 0 0) '(2 0 0) '(1 -1 1) '(1 1 1))", "nil"},
      {"(distance '(0 0) 5)", "!bad argument type: 2D/3D point: 5"},
      {"(polar nil 0 1)", "!bad argument type: 2D/3D point: nil"},
  };
  runTable(cases);
}

}  // namespace
}  // namespace tabrik::lisp::testing
