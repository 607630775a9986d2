#!/bin/sh
cc -O2 -o hello hello.c
