library(testthat)
library(dsf2vemo)

test_check("dsf2vemo")
