out.h: LARK.SVD
